// The program's budget of open file descriptors.  The process control keeps
// descriptors open for the processes it has met (a pidfd for each, and the
// statm file of each it may read), so a desktop of a thousand processes needs
// more than the customary soft limit of 1,024.  Any process may raise its
// soft limit to the hard one; for this program that is safe, because it waits
// with poll and epoll and never with select(), whose sets end at 1,023.
#pragma once

#include <cstddef>

namespace kelvar::procfs {

// Raises the soft RLIMIT_NOFILE to the hard limit; the soft limit now in force.
std::size_t RaiseFdLimit();

// How many processes the cache may keep within `fd_limit` descriptors: two
// each, with 256 left for everything else the program opens.
std::size_t ProcessesWithin(std::size_t fd_limit);

}  // namespace kelvar::procfs
