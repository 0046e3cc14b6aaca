// ProcessControl over /proc; see procfs_process_control.h.
#include "platform/linux/procfs_process_control.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/linux/fd_limit.h"
#include "platform/linux/procfs_priority.h"

namespace kelvar {
namespace {

constexpr std::uint32_t kQueryAny = access::kQueryInformation | access::kQueryLimited;
constexpr std::size_t kMaxSlots = 0xFFFF;  // the low 16 bits of a handle
constexpr int kHandleShift = 16;

// A snapshot entry: all digits, not starting with 0, within a PID's range.
bool ParsePid(const char* name, Pid& pid) {
  if (name[0] < '1' || name[0] > '9') return false;
  const char* end = name + std::strlen(name);
  auto [ptr, ec] = std::from_chars(name, end, pid);
  return ec == std::errc() && ptr == end;
}

}  // namespace

ProcfsProcessControl::ProcfsProcessControl()
    : ProcfsProcessControl(procfs::ProcessesWithin(procfs::RaiseFdLimit())) {}

ProcfsProcessControl::ProcfsProcessControl(std::size_t max_cached)
    : proc_(::opendir("/proc")), cache_(max_cached) {
  if (proc_) proc_fd_ = ::dirfd(proc_);
  if (long size = ::sysconf(_SC_PAGESIZE); size > 0) page_size_ = size;
}

ProcfsProcessControl::~ProcfsProcessControl() {
  if (proc_) ::closedir(proc_);
}

bool ProcfsProcessControl::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  if (!proc_) return false;
  cache_.DropEnded();
  ::rewinddir(proc_);
  while (const dirent* entry = ::readdir(proc_)) {
    Pid pid = 0;
    if (ParsePid(entry->d_name, pid)) pids.push_back(pid);
  }
  ReserveFor(pids.size());
  return true;
}

ProcessHandle ProcfsProcessControl::Open(Pid pid, std::uint32_t access, bool /*inherit*/) {
  if (pid <= 0 || proc_fd_ < 0 || access == 0) return 0;
  // Ending or steering must reach the live process the PID names now; a
  // read may use what the pass's snapshot found.
  if (access & (access::kTerminate | access::kSetInformation)) cache_.DropEnded();
  std::shared_ptr<procfs::ProcessEntry> entry = EntryOf(pid);
  if (!entry || ((access & access::kVmRead) && !entry->readable)) return 0;
  const std::size_t index = TakeSlot();
  if (index == kMaxSlots) return 0;
  slots_[index].access = access;
  slots_[index].entry = std::move(entry);
  return HandleOf(index);
}

bool ProcfsProcessControl::ModulePath(ProcessHandle h, std::string& path) {
  Slot* s = Get(h, kQueryAny);
  if (!s || !(s->access & access::kVmRead) || !s->entry->readable) return false;
  path.assign(s->entry->exe);
  return true;
}

FileIdentity ProcfsProcessControl::ImageIdentity(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  if (!s || !(s->access & access::kVmRead)) return {};
  return s->entry->RecheckImage(proc_fd_, link_);
}

std::uint64_t ProcfsProcessControl::WorkingSet(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  std::uint64_t pages = 0;
  if (!s || !(s->access & access::kVmRead) || !s->entry->ResidentPages(pages)) return 0;
  return pages * static_cast<std::uint64_t>(page_size_);
}

std::uint64_t ProcfsProcessControl::StartTime(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  return s ? s->entry->start_time : 0;
}

std::uint32_t ProcfsProcessControl::ExitCode(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  return s && !s->entry->Exited() ? kStillActive : 0;
}

std::uint32_t ProcfsProcessControl::GetPriorityClass(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  return s ? procfs::ReadClass(s->entry->pid) : 0;
}

bool ProcfsProcessControl::SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) {
  Slot* s = Get(h, access::kSetInformation);
  return s && procfs::ApplyClass(proc_fd_, s->entry->pid, priority_class);
}

bool ProcfsProcessControl::Terminate(ProcessHandle h, std::uint32_t /*exit_code*/) {
  Slot* s = Get(h, access::kTerminate);
  return s && ::syscall(SYS_pidfd_send_signal, s->entry->pidfd.get(), SIGKILL, nullptr, 0) == 0;
}

void ProcfsProcessControl::Close(ProcessHandle h) {
  if (Slot* s = Get(h, ~0u)) {
    s->used = false;
    s->access = 0;
    s->entry.reset();
  }
}

int ProcfsProcessControl::OpenHandles() const {
  int n = 0;
  for (const Slot& s : slots_) n += s.used ? 1 : 0;
  return n;
}

std::shared_ptr<procfs::ProcessEntry> ProcfsProcessControl::EntryOf(Pid pid) {
  if (std::shared_ptr<procfs::ProcessEntry> kept = cache_.Find(pid)) return kept;
  std::shared_ptr<procfs::ProcessEntry> fresh = procfs::ProbeProcess(proc_fd_, pid, link_);
  if (fresh && !fresh->ended) cache_.Keep(fresh);
  return fresh;
}

void ProcfsProcessControl::ReserveFor(std::size_t processes) {
  const std::size_t want = procfs::DescriptorsFor(std::min(processes, cache_.capacity()));
  if (want <= reserved_fds_) return;
  procfs::ReserveDescriptors(proc_fd_, want);
  reserved_fds_ = want;
}

// --- slots -----------------------------------------------------------------

std::size_t ProcfsProcessControl::TakeSlot() {
  std::size_t index = 0;
  while (index < slots_.size() && slots_[index].used) ++index;
  if (index == slots_.size()) {
    if (index >= kMaxSlots) return kMaxSlots;
    slots_.emplace_back();
  }
  Slot& s = slots_[index];
  s.used = true;
  ++s.generation;
  return index;
}

ProcessHandle ProcfsProcessControl::HandleOf(std::size_t index) const {
  const auto generation = static_cast<ProcessHandle>(slots_[index].generation);
  return (generation << kHandleShift) | static_cast<ProcessHandle>(index + 1);
}

ProcfsProcessControl::Slot* ProcfsProcessControl::Get(ProcessHandle h, std::uint32_t rights) {
  const std::size_t low = static_cast<std::size_t>(h & kMaxSlots);
  if (low == 0 || low > slots_.size()) return nullptr;
  Slot& s = slots_[low - 1];
  if (!s.used || HandleOf(low - 1) != h || !(s.access & rights)) return nullptr;
  return &s;
}

}  // namespace kelvar
