// The processes the process control has met, each kept, by PID, until it
// ends.  Every kept process's pidfd sits in one epoll set; a pidfd turns
// readable when its process exits (a zombie has exited), so one epoll_wait
// that does not wait names every kept process that has ended since the last
// look, and costs a fraction of a microsecond when none has, however many
// are watched.  Right after DropEnded, every entry Find gives is of the live
// process its PID names: the PID cannot have passed to a newer process while
// the entry's process had not ended.
//
// The cache's descriptors stay within a budget under the program's limit.
// A process kept whole holds two (its pidfd and statm); when the process
// table would not fit so, the processes beyond keep their pidfd alone and
// have their statm opened for each read, which costs a read a few
// microseconds where probing the process afresh every pass cost tens.
// Beyond the budget, processes are not kept.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <unordered_map>

#include "platform/linux/process_entry.h"
#include "platform/linux/unique_fd.h"

namespace kelvar::procfs {

class ProcessCache {
 public:
  explicit ProcessCache(std::size_t budget);
  ProcessCache(const ProcessCache&) = delete;
  ProcessCache& operator=(const ProcessCache&) = delete;

  // Forgets every process that has ended.  An entry still held elsewhere
  // (by an open handle) is marked ended and keeps its descriptors until it
  // is let go.
  void DropEnded();
  // DropEnded, unless it ran less than `age` ago: a sweep that looks at
  // every kept process asks the epoll set a few times, not each pidfd.
  void DropEndedOlderThan(std::chrono::steady_clock::duration age);
  // The entry kept for `pid`, or nullptr.
  std::shared_ptr<ProcessEntry> Find(Pid pid) const;
  bool Keeps(Pid pid) const { return entries_.count(pid) != 0; }
  // The processes the table holds now: the room for keeping each.
  void Expect(std::size_t processes) { expected_ = processes; }
  // Keeps the entry of a process that had not ended when it was read,
  // closing its statm when only its pidfd fits; false when not even that
  // fits or the cache already keeps one for the PID.
  bool Keep(const std::shared_ptr<ProcessEntry>& entry);
  std::size_t size() const { return entries_.size(); }

 private:
  void Drop(Pid pid);

  std::size_t budget_;
  std::size_t expected_ = 0;
  std::size_t held_ = 0;   // descriptors of the kept entries
  std::size_t whole_ = 0;  // entries that keep their statm
  UniqueFd epoll_;
  std::chrono::steady_clock::time_point dropped_{};
  struct Kept {
    std::shared_ptr<ProcessEntry> entry;
    bool whole = false;  // charged for its statm too
  };
  std::unordered_map<Pid, Kept> entries_;
};

}  // namespace kelvar::procfs
