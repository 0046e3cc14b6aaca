// The processes the process control has met, each kept, by PID, until it
// ends.  Every kept process's pidfd sits in one epoll set; a pidfd turns
// readable when its process exits (a zombie has exited), so one epoll_wait
// that does not wait names every kept process that has ended since the last
// look, and costs a fraction of a microsecond when none has, however many
// are watched.  Right after DropEnded, every entry Find gives is of the live
// process its PID names: the PID cannot have passed to a newer process while
// the entry's process had not ended.
//
// The cache holds at most `capacity` processes, so its descriptors stay
// within the program's limit; beyond it, processes are simply not kept.
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
  explicit ProcessCache(std::size_t capacity);
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
  // Keeps the entry of a process that had not ended when it was read;
  // false when the cache is full or already keeps one for the PID.
  bool Keep(const std::shared_ptr<ProcessEntry>& entry);
  std::size_t size() const { return entries_.size(); }
  std::size_t capacity() const { return capacity_; }

 private:
  void Drop(Pid pid);

  std::size_t capacity_;
  UniqueFd epoll_;
  std::chrono::steady_clock::time_point dropped_{};
  std::unordered_map<Pid, std::shared_ptr<ProcessEntry>> entries_;
};

}  // namespace kelvar::procfs
