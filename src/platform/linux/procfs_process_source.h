// The process source over /proc.  The snapshot is the numeric entries of
// /proc, processes and not threads (process_listing.h).  A process can be
// read while readlink /proc/PID/exe succeeds, so kernel threads and other
// users' processes have no row, as protected processes have none on
// Windows; the link's bytes, without the kernel's " (deleted)" mark, are
// the record's path.
//
// The refresh reads every process five times a second and the sweep looks
// at every row twice: reading the link, stat and statm anew each time kept
// the kernel answering /proc for most of the program's time.  So a process
// is probed once (process_entry.h) and kept with its pidfd and open files
// until it ends (process_cache.h); a pass then costs it one pread of statm
// and one scheduling call for its class.  The ended are dropped at the
// snapshot (one epoll_wait) and again before ending or steering a process,
// which acts only on the live process its PID names now, through its pidfd,
// when that is the process that started when the caller says.  A read
// within a pass may meet a process that ended since the snapshot: its
// figures read as nothing, and the sweep lets its row go.
//
// The image is the one thing a live process can change: an exact look stats
// the exe link again, the sweep's where the link reads otherwise than it did
// (process_entry.h), the refresh's where the memory layout moved.  Paths are
// relative to one /proc descriptor held for the object's life.  The object
// belongs to one thread.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/process_cache.h"
#include "platform/linux/process_entry.h"
#include "platform/linux/process_listing.h"
#include "platform/process_source.h"

namespace kelvar {

// What tests may set; the program takes the defaults.
struct ProcfsOptions {
  std::size_t fd_limit = 0;                       // 0: the soft limit, raised to the hard one
  std::unique_ptr<procfs::ListingProbe> listing;  // null: /proc's own
};

class ProcfsProcessSource final : public ProcessSource {
 public:
  explicit ProcfsProcessSource(ProcfsOptions options = {});
  ~ProcfsProcessSource() override;
  ProcfsProcessSource(const ProcfsProcessSource&) = delete;
  ProcfsProcessSource& operator=(const ProcfsProcessSource&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  // The start is in clock ticks after boot, plus one.
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override;
  // A zombie has ended.
  Liveness Look(const ProcessId& process, FileIdentity& image, LookDepth depth) override;
  // SIGKILL through the pidfd.
  bool End(const ProcessId& process) override;
  bool SetPriority(const ProcessId& process, Priority priority) override;

  // For tests: the processes kept, and the looks at an image so far.
  std::size_t CachedProcesses() const { return cache_.size(); }
  std::size_t ImageLooks() const { return looks_; }

 private:
  // The entry of the process `pid` names, kept when there is room, else
  // held by `unkept` for the caller's call; `probed` tells whether it was
  // read just now.
  procfs::ProcessEntry* EntryOf(Pid pid, std::unique_ptr<procfs::ProcessEntry>& unkept,
                                bool* probed = nullptr);
  // The entry of the live process `process` names now, or nullptr.
  procfs::ProcessEntry* LiveEntry(const ProcessId& process, std::unique_ptr<procfs::ProcessEntry>& unkept);
  FileIdentity LookAtImage(procfs::ProcessEntry& entry);

  DIR* proc_ = nullptr;  // /proc, kept open: the listing rewinds it
  int proc_fd_ = -1;     // its descriptor, for the *at() calls
  long page_size_ = 4096;
  std::size_t looks_ = 0;
  std::string link_;  // room for the executable links read
  procfs::ProcessListing listing_;
  procfs::ProcessCache cache_;
};

}  // namespace kelvar
