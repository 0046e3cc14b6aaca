// The process source over /proc; see procfs_process_source.h.
#include "platform/linux/procfs_process_source.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/linux/procfs_priority.h"

namespace kelvar {

ProcfsProcessSource::ProcfsProcessSource(ProcfsOptions options)
    : proc_(::opendir("/proc")),
      listing_(options.listing ? std::move(options.listing) : procfs::ProcListingProbe(proc_)),
      cache_(options.fd_limit ? options.fd_limit : procfs::RaiseFdLimit()) {
  if (proc_) proc_fd_ = ::dirfd(proc_);
  if (long size = ::sysconf(_SC_PAGESIZE); size > 0) page_size_ = size;
}

ProcfsProcessSource::~ProcfsProcessSource() {
  if (proc_) ::closedir(proc_);
}

bool ProcfsProcessSource::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  if (!proc_) return false;
  cache_.DropEnded();
  listing_.List(pids, [this](Pid pid) { return cache_.Keeps(pid); });
  cache_.Expect(pids.size());
  return true;
}

// The image of a kept entry is rechecked before the path is taken, and
// whenever its memory layout moved: had the process run another file
// meanwhile, the path is already that file's.  An entry probed just now
// read both a moment ago.
bool ProcfsProcessSource::Read(Pid pid, bool with_image, ProcessRecord& record) {
  if (pid <= 0 || proc_fd_ < 0) return false;
  std::unique_ptr<procfs::ProcessEntry> unkept;
  bool probed = false;
  procfs::ProcessEntry* entry = EntryOf(pid, unkept, &probed);
  if (!entry || !entry->readable) return false;
  std::uint64_t pages = 0;
  bool moved = false;
  const bool resident = entry->ReadMemory(proc_fd_, pages, moved);
  if (!probed && (with_image || moved)) LookAtImage(*entry);
  if (!entry->readable) return false;
  record.id = {pid, entry->start_time};
  record.image = entry->image;
  if (with_image) record.path.assign(entry->exe);
  record.working_set = resident ? pages * static_cast<std::uint64_t>(page_size_) : 0;
  record.priority = procfs::ReadClass(pid);
  return true;
}

// A kept process is known to run from the epoll set, asked at most a
// millisecond before (a process may end as well just after the look); one
// read afresh asks its own pidfd.
Liveness ProcfsProcessSource::Look(const ProcessId& process, FileIdentity& image, LookDepth depth) {
  if (process.pid <= 0 || proc_fd_ < 0) return Liveness::kGone;
  cache_.DropEndedOlderThan(std::chrono::milliseconds(1));
  procfs::ProcessEntry* entry = cache_.Find(process.pid);
  const bool kept = entry != nullptr;
  std::unique_ptr<procfs::ProcessEntry> unkept;
  if (!kept) entry = EntryOf(process.pid, unkept);
  if (!entry || !SameProcess(process, entry->start_time) || (!kept && entry->Exited()))
    return Liveness::kGone;
  if (!entry->readable) return Liveness::kUnreadable;
  const bool look = depth == LookDepth::kExact || !kept || !entry->LinkReadsAsBefore(proc_fd_, link_);
  image = look ? LookAtImage(*entry) : entry->image;
  return entry->readable ? Liveness::kRunning : Liveness::kUnreadable;
}

bool ProcfsProcessSource::End(const ProcessId& process) {
  std::unique_ptr<procfs::ProcessEntry> unkept;
  procfs::ProcessEntry* entry = LiveEntry(process, unkept);
  return entry && ::syscall(SYS_pidfd_send_signal, entry->pidfd.get(), SIGKILL, nullptr, 0) == 0;
}

bool ProcfsProcessSource::SetPriority(const ProcessId& process, Priority priority) {
  std::unique_ptr<procfs::ProcessEntry> unkept;
  return LiveEntry(process, unkept) && procfs::ApplyClass(proc_fd_, process.pid, priority);
}

// Ending or steering must reach the live process the PID names now, so the
// ended ones are let go first.
procfs::ProcessEntry* ProcfsProcessSource::LiveEntry(const ProcessId& process,
                                                     std::unique_ptr<procfs::ProcessEntry>& unkept) {
  if (process.pid <= 0 || proc_fd_ < 0) return nullptr;
  cache_.DropEnded();
  procfs::ProcessEntry* entry = EntryOf(process.pid, unkept);
  return entry && SameProcess(process, entry->start_time) ? entry : nullptr;
}

procfs::ProcessEntry* ProcfsProcessSource::EntryOf(Pid pid, std::unique_ptr<procfs::ProcessEntry>& unkept,
                                                   bool* probed) {
  if (procfs::ProcessEntry* kept = cache_.Find(pid)) return kept;
  if (probed) *probed = true;
  unkept = procfs::ProbeProcess(proc_fd_, pid, link_);
  if (!unkept) return nullptr;
  if (!unkept->ended)
    if (procfs::ProcessEntry* kept = cache_.Keep(unkept)) return kept;
  return unkept.get();
}

FileIdentity ProcfsProcessSource::LookAtImage(procfs::ProcessEntry& entry) {
  ++looks_;
  return entry.RecheckImage(proc_fd_, link_);
}

}  // namespace kelvar
