// ProcessControl over /proc: the Windows process calls the core is written
// against, answered by Linux.
//
//  - The snapshot is the numeric entries of /proc (processes, not threads).
//  - Open(0x410) succeeds when readlink /proc/PID/exe does, so kernel threads
//    and other users' processes have no row, as protected processes have
//    none on Windows; the link's bytes are kept for ModulePath.  Other
//    opens succeed while the process exists; an open to terminate holds a
//    pidfd and the start time read while the pidfd's process still lived.
//  - Each call needs the rights its Windows counterpart needs, so a path of
//    the core that works here works there too.
//
// Handles are slots of this object: small numbers with a generation, so a
// handle used after Close is refused.  A slot reads each /proc file at most
// once, lazily, and keeps its buffers for the next process: the refresh opens
// every process twice a pass, five passes a second, and allocates nothing in
// the steady state.  All paths are relative to one /proc descriptor held for
// the object's life.  The object belongs to one thread.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/procfs_stat.h"
#include "platform/linux/start_time_cache.h"
#include "platform/linux/unique_fd.h"
#include "platform/process_control.h"

namespace kelvar {

class ProcfsProcessControl final : public ProcessControl {
 public:
  ProcfsProcessControl();
  ~ProcfsProcessControl() override;
  ProcfsProcessControl(const ProcfsProcessControl&) = delete;
  ProcfsProcessControl& operator=(const ProcfsProcessControl&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  // `inherit` is not honoured: a pidfd is close-on-exec, and the program
  // starts no process while it holds a handle.
  ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) override;
  bool ModulePath(ProcessHandle h, std::string& path) override;
  std::uint64_t WorkingSet(ProcessHandle h) override;
  // Clock ticks after boot at which the process started, plus one.
  std::uint64_t StartTime(ProcessHandle h) override;
  // kStillActive until the process is a zombie; 0 after (Linux keeps the
  // real exit status for the parent alone).
  std::uint32_t ExitCode(ProcessHandle h) override;
  std::uint32_t GetPriorityClass(ProcessHandle h) override;
  bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) override;
  // SIGKILL through the pidfd; Linux cannot choose the exit code.
  bool Terminate(ProcessHandle h, std::uint32_t exit_code) override;
  void Close(ProcessHandle h) override;

  // Handles open now (for tests: none may be left behind).
  int OpenHandles() const;

 private:
  enum class StatState { kUnread, kRead, kFailed };
  struct Slot {
    bool used = false;
    std::uint32_t generation = 0;
    Pid pid = 0;
    std::uint32_t access = 0;
    std::string exe;  // a buffer: the link is its first exe_len bytes
    std::size_t exe_len = 0;
    bool has_exe = false;
    procfs::UniqueFd statm;
    procfs::UniqueFd pidfd;
    StatState stat_state = StatState::kUnread;
    procfs::ProcStat stat;
  };

  std::size_t TakeSlot();
  void Release(Slot& s);
  ProcessHandle HandleOf(std::size_t index) const;
  // The slot of a live handle that holds any of `rights`, or nullptr.
  Slot* Get(ProcessHandle h, std::uint32_t rights);

  bool ReadExe(Slot& s);
  bool OpenPidfd(Slot& s);
  bool ConfirmExists(Slot& s);
  bool EnsureStat(Slot& s);
  bool EnsureStatm(Slot& s);
  std::uint64_t CachedStartTime(Slot& s);

  DIR* proc_ = nullptr;  // /proc, kept open: the snapshot rewinds it
  int proc_fd_ = -1;     // its descriptor, for the *at() calls
  long page_size_ = 4096;
  std::vector<Slot> slots_;
  procfs::StartTimeCache start_times_;
};

}  // namespace kelvar
