// The process source over /proc.
//
//  - The snapshot is the numeric entries of /proc (processes, not threads),
//    kept up to date without reading the whole directory every pass
//    (process_listing.h).
//  - A process can be read while readlink /proc/PID/exe succeeds, so kernel
//    threads and other users' processes have no row, as protected processes
//    have none on Windows; the link's bytes are the record's path, without
//    the kernel's " (deleted)" mark.
//
// Why it keeps what it reads: the refresh reads every process five times a
// second and the sweep looks at every row twice a second.  Reading the link,
// stat and statm anew each time kept the kernel answering /proc for most of
// the program's time.  So the first read of a process probes it once
// (process_entry.h), and the cache keeps the entry with a pidfd and the open
// statm file until the process ends (process_cache.h; past its descriptor
// budget, with the pidfd alone).  A known process then costs a pass one
// pread of statm and one scheduling call for its class.
//
// Every answer stays exact where it must: the processes that have ended are
// dropped once a pass, at the snapshot (one epoll_wait, a fifth of a
// microsecond when none has), and again before ending or steering a process,
// so that acts on the live process its PID names now, and only when that is
// the process that started when the caller says.  (A read within a pass may
// meet a process that ended since the snapshot: its figures read as nothing,
// and the sweep, which asks the epoll set, lets its row go.)  Ending acts
// through the entry's pidfd, on that process alone.
//
// The image (path and readability) is the one thing a live process can
// change, and a look asks the kernel again with one stat of the exe link,
// which walks a path through /proc.  The sweep's glance spares that walk
// where cheaper answers vouch for the image: the access the pidfd tells is
// what it was (process_access.h), the file at the image's path is still the
// image (image_names.h), and the memory layout the refresh read shows no
// exec, which the refresh follows at once.  Every eighth glance at a
// process looks all the same, so an exec that left the layout as it was (a
// copy of the same program under another name) is followed within eight
// sweeps.  On a kernel that does not tell the access every glance looks.
//
// All paths are relative to one /proc descriptor held for the object's life.
// The object belongs to one thread.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/image_names.h"
#include "platform/linux/process_cache.h"
#include "platform/linux/process_entry.h"
#include "platform/linux/process_listing.h"
#include "platform/process_source.h"

namespace kelvar {

class ProcfsProcessSource final : public ProcessSource {
 public:
  // Raises the descriptor limit, and keeps as many processes as it allows.
  ProcfsProcessSource();
  // Keeps processes within `fd_limit` descriptors.
  explicit ProcfsProcessSource(std::size_t fd_limit);
  ~ProcfsProcessSource() override;
  ProcfsProcessSource(const ProcfsProcessSource&) = delete;
  ProcfsProcessSource& operator=(const ProcfsProcessSource&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  // The start is in clock ticks after boot, plus one.
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override;
  // A zombie has ended.
  Liveness Look(const ProcessId& process, FileIdentity& image) override;
  Liveness Glance(const ProcessId& process, FileIdentity& image) override;
  // SIGKILL through the pidfd.
  bool End(const ProcessId& process) override;
  bool SetPriority(const ProcessId& process, Priority priority) override;

  // For tests: the processes kept.
  std::size_t CachedProcesses() const { return cache_.size(); }

 private:
  // The entry of the process `pid` names, kept when there is room;
  // `probed` tells whether it was read just now.
  std::shared_ptr<procfs::ProcessEntry> EntryOf(Pid pid, bool* probed = nullptr);
  // The entry of the live process `process` names now, or nullptr.
  std::shared_ptr<procfs::ProcessEntry> LiveEntry(const ProcessId& process);
  // Whether the glance at a kept, readable process must look at its image.
  bool MustLook(procfs::ProcessEntry& entry);
  // Room in the descriptor table for keeping that many processes.
  void ReserveFor(std::size_t processes);

  DIR* proc_ = nullptr;  // /proc, kept open: the listing rewinds it
  int proc_fd_ = -1;     // its descriptor, for the *at() calls
  long page_size_ = 4096;
  std::size_t fd_limit_;
  std::size_t reserved_fds_ = 0;
  bool tells_access_ = false;  // the kernel tells a process's access through its pidfd
  std::string link_;           // room for the executable links the probes read
  procfs::ProcessListing listing_;
  procfs::ProcessCache cache_;
  procfs::ImageNames names_;
};

}  // namespace kelvar
