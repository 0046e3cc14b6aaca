// The PIDs /proc lists (the thread-group leaders of this PID namespace,
// zombies included, threads not), kept up to date without reading the whole
// directory every pass, which costs the kernel a dentry look-up for every
// process: with ten thousand, a fifth of the program's time.
//
// A PID is handed out after the last one handed out (the counter), round to
// 300 past pid_max (to 1 while the counter is below 300).  So a pass asks
// the PIDs handed out since the last pass, those still being forked then,
// and the listed ones the cache cannot vouch for; pidfd_open answers "a
// leader" exactly as /proc lists one.  That misses nothing unless the
// counter went round a whole cycle, which looks like a short step.  A whole
// cycle hands out every PID that was free: at least the cycle less the PIDs
// in use, which are at most three a task (its own, its group's and its
// session's), and each PID handed out is a fork the kernel counts.  So
// while 4 x forks + 3 x tasks fits in the cycle (the tasks, read before the
// counter, may have grown by the forks), none passed.  Otherwise, every
// tenth pass (for PIDs set by hand, as a restored checkpoint sets them), and
// where the counters cannot be read, /proc is another namespace's or hides
// processes (hidepid), the whole directory is read.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/process_source.h"

namespace kelvar::procfs {

// What the listing asks of the kernel; tests script it.
class ListingProbe {
 public:
  struct Counters {
    std::int64_t forks = -1;     // every fork on the machine since boot
    std::int64_t tasks = -1;     // every task on the machine now
    std::int64_t last_pid = -1;  // the last PID handed out in this namespace
    std::int64_t pid_max = -1;
  };
  enum class Kind { kFree, kLeader, kThread, kForming };

  virtual ~ListingProbe() = default;
  // The counters, read in the order above; -1 where one cannot be read, and
  // all when /proc is not this namespace's or hides processes.
  virtual Counters Read() = 0;
  // What a PID names now; kForming for one handed out to a fork not yet done.
  virtual Kind KindOf(Pid pid) = 0;
  // Every PID of the directory, in any order.
  virtual void ReadDirectory(std::vector<Pid>& pids) = 0;
};

// The probe over /proc, kept open by the caller.
std::unique_ptr<ListingProbe> ProcListingProbe(DIR* proc);

class ProcessListing {
 public:
  explicit ProcessListing(std::unique_ptr<ListingProbe> probe) : probe_(std::move(probe)) {}

  // The PIDs listed now, ascending.  `runs` tells whether a PID is of a
  // process known to run.
  void List(std::vector<Pid>& pids, const std::function<bool(Pid)>& runs);

 private:
  void ReadWhole(std::vector<Pid>& pids, const ListingProbe::Counters& now);
  bool Update(std::vector<Pid>& pids, const ListingProbe::Counters& now,
              const std::function<bool(Pid)>& runs);
  bool NoWholeCycleSince(const ListingProbe::Counters& now) const;
  // The PIDs handed out since the last pass; false when too many.
  bool HandedOutSince(const ListingProbe::Counters& now, std::vector<Pid>& out) const;
  // Sorts a PID asked after into the fresh leaders or the forks still forming.
  void Ask(Pid pid);

  std::unique_ptr<ListingProbe> probe_;
  ListingProbe::Counters last_;
  int passes_ = 0;            // since the whole directory was read
  std::vector<Pid> listed_;   // the previous pass's list
  std::vector<Pid> waiting_;  // handed out to forks not yet done at the previous pass
  std::vector<Pid> fresh_, forming_, asked_;
};

}  // namespace kelvar::procfs
