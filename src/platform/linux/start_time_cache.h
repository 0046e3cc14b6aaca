// The start times of the processes the refresh saw in its last passes, each
// remembered with the identity of the process's /proc/PID/statm inode.
//
// Why: the refresh asks every process's start time on every pass, to tell the
// process a row was made for from a newer one that took its PID.  Only
// /proc/PID/stat holds it, and reading stat costs about as much as all the
// rest of a process's refresh together.  The statm file is opened on every
// pass anyway (for the working set), and an fstat of it is nearly free.  A
// /proc inode belongs to one process: when the process is gone its entries
// never serve a new one with the same PID, the new process's entries are new
// inodes with new numbers, and the kernel numbers inodes from a counter that
// would have to wrap all 2^32 values between two passes to repeat one.  So an
// unchanged (inode, change time) pair means the same process and its start
// time is the one remembered; any change (a new process, or the kernel having
// dropped the entry from its caches) costs one read of stat.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/process_control.h"

namespace kelvar::procfs {

struct InodeStamp {
  ino_t inode = 0;
  std::int64_t ctime_sec = 0;
  std::int64_t ctime_nsec = 0;
  static InodeStamp Of(const struct stat& st) {
    return {st.st_ino, static_cast<std::int64_t>(st.st_ctim.tv_sec),
            static_cast<std::int64_t>(st.st_ctim.tv_nsec)};
  }
  bool operator==(const InodeStamp&) const = default;
};

class StartTimeCache {
 public:
  // The start time remembered for `pid` when its stamp is still `stamp`.
  std::optional<std::uint64_t> Find(Pid pid, const InodeStamp& stamp);
  void Remember(Pid pid, const InodeStamp& stamp, std::uint64_t start_time);
  // A new pass begins: processes not asked for in the last two passes are
  // forgotten, so the table holds about one entry per running process.
  void NextPass();
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    InodeStamp stamp;
    std::uint64_t start_time = 0;
    std::uint64_t pass = 0;
  };
  std::unordered_map<Pid, Entry> entries_;
  std::uint64_t pass_ = 0;
};

}  // namespace kelvar::procfs
