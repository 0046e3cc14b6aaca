// The PIDs /proc lists (the thread-group leaders of this PID namespace,
// zombies included, threads not), kept up to date without reading the whole
// directory every pass.  Listing /proc costs the kernel a dentry look-up for
// every process: with ten thousand processes that was a fifth of the
// program's time, for a list that changes by a few PIDs a pass.
//
// A PID is handed out after the last one handed out (ns_last_pid), round to
// the start past pid_max.  So a pass after a full listing asks only:
//  - each PID listed before that the cache does not vouch for as running
//    (one that ended, or was never kept): is it still a leader?
//  - each PID handed out since the last pass, and each that was not yet a
//    leader then (a fork between taking its PID and becoming visible):
//    is it a leader now?
// pidfd_open answers "a leader" exactly as /proc lists one.  The whole
// directory is read again every tenth pass, and whenever the count of new
// PIDs is large, the last PID cannot be read, /proc belongs to another PID
// namespace, or it hides processes (hidepid): PIDs set by hand (a
// checkpoint restored) then appear within two seconds.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "platform/process_source.h"

namespace kelvar::procfs {

class ProcessListing {
 public:
  // `proc` is the /proc directory, kept open by the caller.
  explicit ProcessListing(DIR* proc);

  // The PIDs listed now, ascending.  `runs` tells whether a PID is of a
  // process known to run.
  void List(std::vector<Pid>& pids, const std::function<bool(Pid)>& runs);

 private:
  void ReadWhole(std::vector<Pid>& pids, std::int64_t last);
  bool Update(std::vector<Pid>& pids, std::int64_t last, const std::function<bool(Pid)>& runs);
  // The PIDs handed out after `last_` up to `last`; false when too many.
  bool HandedOutSince(std::int64_t last, std::vector<Pid>& out) const;
  std::int64_t LastPid() const;

  DIR* proc_;
  UniqueFd last_pid_;         // /proc/sys/kernel/ns_last_pid, when usable
  std::int64_t last_ = -1;    // the last PID handed out at the previous pass
  int passes_ = 0;            // since the whole directory was read
  std::vector<Pid> listed_;   // the previous pass's list
  std::vector<Pid> waiting_;  // handed out but not yet leaders at the previous pass
  std::vector<Pid> fresh_;
};

}  // namespace kelvar::procfs
