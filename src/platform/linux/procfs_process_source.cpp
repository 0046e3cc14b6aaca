// The process source over /proc; see procfs_process_source.h.
#include "platform/linux/procfs_process_source.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/linux/fd_limit.h"
#include "platform/linux/process_access.h"
#include "platform/linux/procfs_priority.h"

namespace kelvar {

ProcfsProcessSource::ProcfsProcessSource() : ProcfsProcessSource(procfs::RaiseFdLimit()) {}

ProcfsProcessSource::ProcfsProcessSource(std::size_t fd_limit)
    : proc_(::opendir("/proc")),
      fd_limit_(fd_limit),
      tells_access_(procfs::KernelTellsAccess()),
      listing_(proc_),
      cache_(procfs::CacheBudget(fd_limit)) {
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
  ReserveFor(pids.size());
  return true;
}

// The image of a kept entry is rechecked before the path is taken, and
// whenever its memory layout moved: had the process run another file
// meanwhile, the path is already that file's.  An entry probed just now
// read both a moment ago.
bool ProcfsProcessSource::Read(Pid pid, bool with_image, ProcessRecord& record) {
  if (pid <= 0 || proc_fd_ < 0) return false;
  bool probed = false;
  std::shared_ptr<procfs::ProcessEntry> entry = EntryOf(pid, &probed);
  if (!entry || !entry->readable) return false;
  std::uint64_t pages = 0;
  bool moved = false;
  const bool resident = entry->ReadMemory(proc_fd_, pages, moved);
  if (!probed && (with_image || moved)) entry->RecheckImage(proc_fd_, link_, tells_access_);
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
Liveness ProcfsProcessSource::Look(const ProcessId& process, FileIdentity& image) {
  if (process.pid <= 0 || proc_fd_ < 0) return Liveness::kGone;
  cache_.DropEndedOlderThan(std::chrono::milliseconds(1));
  std::shared_ptr<procfs::ProcessEntry> entry = cache_.Find(process.pid);
  const bool kept = entry != nullptr;
  if (!kept) entry = EntryOf(process.pid);
  if (!entry || !SameProcess(process, entry->start_time) || (!kept && entry->Exited()))
    return Liveness::kGone;
  if (!entry->readable) return Liveness::kUnreadable;
  image = entry->RecheckImage(proc_fd_, link_, tells_access_);
  return entry->readable ? Liveness::kRunning : Liveness::kUnreadable;
}

Liveness ProcfsProcessSource::Glance(const ProcessId& process, FileIdentity& image) {
  if (!tells_access_ || process.pid <= 0) return Look(process, image);
  cache_.DropEndedOlderThan(std::chrono::milliseconds(1));
  std::shared_ptr<procfs::ProcessEntry> entry = cache_.Find(process.pid);
  if (!entry) return Look(process, image);
  if (!SameProcess(process, entry->start_time)) return Liveness::kGone;
  if (!entry->readable) return Liveness::kUnreadable;
  image = MustLook(*entry) ? entry->RecheckImage(proc_fd_, link_, true) : entry->image;
  return entry->readable ? Liveness::kRunning : Liveness::kUnreadable;
}

// The eighth glances are spread over the sweeps by PID, so that no one
// sweep looks at every process.
bool ProcfsProcessSource::MustLook(procfs::ProcessEntry& entry) {
  constexpr unsigned kLookEvery = 8;
  if ((++entry.glances + static_cast<unsigned>(entry.pid)) % kLookEvery == 0) return true;
  procfs::ProcessAccess now;
  if (!entry.access_known || !procfs::ReadAccess(entry.pidfd.get(), now) || now != entry.access) return true;
  return !names_.StillNames(entry.exe, entry.image);
}

bool ProcfsProcessSource::End(const ProcessId& process) {
  std::shared_ptr<procfs::ProcessEntry> entry = LiveEntry(process);
  return entry && ::syscall(SYS_pidfd_send_signal, entry->pidfd.get(), SIGKILL, nullptr, 0) == 0;
}

bool ProcfsProcessSource::SetPriority(const ProcessId& process, Priority priority) {
  return LiveEntry(process) && procfs::ApplyClass(proc_fd_, process.pid, priority);
}

// Ending or steering must reach the live process the PID names now, so the
// ended ones are let go first.
std::shared_ptr<procfs::ProcessEntry> ProcfsProcessSource::LiveEntry(const ProcessId& process) {
  if (process.pid <= 0 || proc_fd_ < 0) return nullptr;
  cache_.DropEnded();
  std::shared_ptr<procfs::ProcessEntry> entry = EntryOf(process.pid);
  return entry && SameProcess(process, entry->start_time) ? entry : nullptr;
}

std::shared_ptr<procfs::ProcessEntry> ProcfsProcessSource::EntryOf(Pid pid, bool* probed) {
  if (std::shared_ptr<procfs::ProcessEntry> kept = cache_.Find(pid)) return kept;
  if (probed) *probed = true;
  std::shared_ptr<procfs::ProcessEntry> fresh = procfs::ProbeProcess(proc_fd_, pid, link_, tells_access_);
  if (fresh && !fresh->ended) cache_.Keep(fresh);
  return fresh;
}

void ProcfsProcessSource::ReserveFor(std::size_t processes) {
  const std::size_t want = std::min(procfs::DescriptorsFor(processes), fd_limit_);
  if (want <= reserved_fds_) return;
  procfs::ReserveDescriptors(proc_fd_, want);
  reserved_fds_ = want;
}

}  // namespace kelvar
