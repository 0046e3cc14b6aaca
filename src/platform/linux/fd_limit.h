// The program's budget of open file descriptors.  The process control keeps
// descriptors open for the processes it has met (a pidfd for each, and the
// statm file of each it may read), so a desktop of a thousand processes needs
// more than the customary soft limit of 1,024.  Any process may raise its
// soft limit to the hard one; for this program that is safe, because it waits
// with poll and epoll and never with select(), whose sets end at 1,023.
//
// The kernel's table of a process's descriptors grows by doubling, and in a
// process with threads (Qt starts some) each growth waits for an RCU grace
// period, about 10 ms here: opening two thousand descriptors one by one cost
// the first refresh some 50 ms.  Reserving the room at once costs one wait.
#pragma once

#include <cstddef>

namespace kelvar::procfs {

// Raises the soft RLIMIT_NOFILE to the hard limit; the soft limit now in force.
std::size_t RaiseFdLimit();

// The descriptors the cache may hold within `fd_limit`: 256 are left for
// everything else the program opens.
std::size_t CacheBudget(std::size_t fd_limit);
// The descriptors the program needs while it keeps `processes` processes
// with two descriptors each.
std::size_t DescriptorsFor(std::size_t processes);

// Grows the descriptor table at once to hold `count` descriptors; `fd` is any
// open descriptor.  Nothing happens when the limit is lower.
void ReserveDescriptors(int fd, std::size_t count);

}  // namespace kelvar::procfs
