// ProcessControl over /proc: the Windows process calls the core is written
// against, answered by Linux.
//
//  - The snapshot is the numeric entries of /proc (processes, not threads).
//  - Open(0x410) succeeds when readlink /proc/PID/exe does, so kernel threads
//    and other users' processes have no row, as protected processes have
//    none on Windows; the link's bytes are what ModulePath gives, without
//    the kernel's " (deleted)" mark.  Other opens succeed while the process
//    exists, a zombie included.
//  - Each call needs the rights its Windows counterpart needs, so a path of
//    the core that works here works there too.
//
// Why it keeps what it reads: the refresh opens every process twice a pass,
// five passes a second, and the sweep every row twice a second.  Reading the
// link, stat and statm anew each time kept the kernel answering /proc for
// most of the program's time.  So the first open of a process reads them
// once (process_entry.h), and the cache keeps them with a pidfd and the open
// statm file until the process ends (process_cache.h).  A known process then
// costs a pass one pread of statm and the two scheduling calls of its class,
// and a sweep one poll of its pidfd and one stat of its image, besides the
// look for ended processes.
//
// Every answer stays exact where it must: the processes that have ended are
// dropped once a pass, at the snapshot (one epoll_wait, a fifth of a
// microsecond when none has), and again before any open that ends or steers
// a process, so such an open uses the live process its PID names now, never
// an earlier one that had the PID.  (A read within a pass may meet a
// process that ended since the snapshot: its figures read as nothing, and
// the sweep, which asks each pidfd, lets its row go.)  Ending acts through the entry's pidfd, on that process
// alone; the exit code asks that pidfd; the working set and the class are
// read at each call.  The image (path and readability) is the one thing a
// live process can change that the refresh takes from the entry as kept:
// ImageIdentity asks the kernel again with one stat of the exe link, and on
// an exec, a deleted or replaced executable or a process turned unreadable
// the entry follows (process_entry.h).  The monitor's sweep calls it for
// every row, so what a pass reads is at most one sweep old.
//
// Handles are slots of this object: small numbers with a generation, so a
// handle used after Close is refused.  A slot shares its process's entry;
// Close releases the slot, not the entry.  Beyond the cache's capacity a
// process is read afresh by each open and its entry lives with the handle.
// All paths are relative to one /proc descriptor held for the object's life.
// The object belongs to one thread.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/process_cache.h"
#include "platform/linux/process_entry.h"
#include "platform/process_control.h"

namespace kelvar {

class ProcfsProcessControl final : public ProcessControl {
 public:
  // Raises the descriptor limit, and keeps as many processes as it allows.
  ProcfsProcessControl();
  // Keeps at most `max_cached` processes.
  explicit ProcfsProcessControl(std::size_t max_cached);
  ~ProcfsProcessControl() override;
  ProcfsProcessControl(const ProcfsProcessControl&) = delete;
  ProcfsProcessControl& operator=(const ProcfsProcessControl&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  // `inherit` is not honoured: a pidfd is close-on-exec, and the program
  // starts no process while it holds a handle.
  ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) override;
  bool ModulePath(ProcessHandle h, std::string& path) override;
  // One stat of /proc/PID/exe; the entry follows what changed.
  FileIdentity ImageIdentity(ProcessHandle h) override;
  std::uint64_t WorkingSet(ProcessHandle h) override;
  // Clock ticks after boot at which the process started, plus one.
  std::uint64_t StartTime(ProcessHandle h) override;
  // kStillActive until the process has exited, a zombie included; 0 after
  // (Linux keeps the real exit status for the parent alone).
  std::uint32_t ExitCode(ProcessHandle h) override;
  std::uint32_t GetPriorityClass(ProcessHandle h) override;
  bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) override;
  // SIGKILL through the pidfd; Linux cannot choose the exit code.
  bool Terminate(ProcessHandle h, std::uint32_t exit_code) override;
  void Close(ProcessHandle h) override;

  // For tests: handles open now (none may be left behind), processes kept.
  int OpenHandles() const;
  std::size_t CachedProcesses() const { return cache_.size(); }

 private:
  struct Slot {
    bool used = false;
    std::uint32_t generation = 0;
    std::uint32_t access = 0;
    std::shared_ptr<procfs::ProcessEntry> entry;
  };

  // The entry of the process `pid` names now, kept when there is room.
  std::shared_ptr<procfs::ProcessEntry> EntryOf(Pid pid);
  // Room in the descriptor table for keeping that many processes.
  void ReserveFor(std::size_t processes);
  std::size_t TakeSlot();
  ProcessHandle HandleOf(std::size_t index) const;
  // The slot of a live handle that holds any of `rights`, or nullptr.
  Slot* Get(ProcessHandle h, std::uint32_t rights);

  DIR* proc_ = nullptr;  // /proc, kept open: the snapshot rewinds it
  int proc_fd_ = -1;     // its descriptor, for the *at() calls
  long page_size_ = 4096;
  std::size_t reserved_fds_ = 0;
  std::string link_;  // room for the executable links the probes read
  std::vector<Slot> slots_;
  procfs::ProcessCache cache_;
};

}  // namespace kelvar
