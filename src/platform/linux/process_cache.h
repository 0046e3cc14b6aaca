// The processes the process control has met, each kept, by PID, until it
// ends.  Every kept process's pidfd sits in one epoll set; a pidfd turns
// readable when its process exits (a zombie has exited), so one epoll_wait
// that does not wait names every kept process that has ended since the last
// look, and costs a fraction of a microsecond when none has, however many
// are watched.  Right after DropEnded, every entry Find gives is of the live
// process its PID names: the PID cannot have passed to a newer process while
// the entry's process had not ended.
//
// The cache stays within the descriptor limit, less 256 for the rest of the
// program.  A process kept whole holds three (pidfd, statm, exe link); where
// the table would not fit so, every process keeps its pidfd and as many as
// fit their statm too, which spares a read more than the link spares a sweep
// (a walk through /proc each), and beyond that none.  The room is reserved at
// once: the kernel grows the table by doubling, each growth waiting ~10 ms
// for RCU in a process with threads.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <unordered_map>

#include "platform/linux/process_entry.h"
#include "platform/linux/unique_fd.h"

namespace kelvar::procfs {

// Raises the soft descriptor limit to the hard one, which any process may:
// this program waits with poll and epoll, never with select(), whose sets
// end at 1,023.  Answers the limit now in force.
std::size_t RaiseFdLimit();

class ProcessCache {
 public:
  explicit ProcessCache(std::size_t fd_limit);

  // Forgets every process that has ended.
  void DropEnded();
  // DropEnded, unless it ran less than `age` ago: a sweep that looks at
  // every kept process asks the epoll set a few times, not each pidfd.
  void DropEndedOlderThan(std::chrono::steady_clock::duration age);
  // The entry kept for `pid`, or nullptr.
  ProcessEntry* Find(Pid pid) const;
  bool Keeps(Pid pid) const { return entries_.count(pid) != 0; }
  // The processes the table holds now: the room for keeping each.
  void Expect(std::size_t processes);
  // Takes the entry of a process that had not ended when it was read,
  // closing what does not fit; answers it, or nullptr (and leaves `entry`
  // as it was) when not even its pidfd fits or the PID is kept already.
  ProcessEntry* Keep(std::unique_ptr<ProcessEntry>& entry);
  std::size_t size() const { return entries_.size(); }

 private:
  void Drop(Pid pid);

  struct Kept {
    std::unique_ptr<ProcessEntry> entry;
    bool statm = false, exe_link = false;  // descriptors charged beyond its pidfd
  };

  std::size_t fd_limit_, budget_;
  std::size_t expected_ = 0;
  std::size_t reserved_ = 0;  // the descriptor table's room
  std::size_t statms_ = 0, links_ = 0;
  UniqueFd epoll_;
  std::chrono::steady_clock::time_point dropped_{};
  std::unordered_map<Pid, Kept> entries_;
};

}  // namespace kelvar::procfs
