// ProcessControl over /proc; see procfs_process_control.h.
#include "platform/linux/procfs_process_control.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <charconv>
#include <cstring>

#include "platform/linux/proc_path.h"
#include "platform/linux/procfs_priority.h"

namespace kelvar {
namespace {

constexpr std::uint32_t kQueryAny = access::kQueryInformation | access::kQueryLimited;
constexpr std::size_t kLinkBuffer = 4096;      // the kernel's own limit for the link
constexpr std::size_t kLinkBufferMax = 65536;  // in case a kernel ever allows more
constexpr std::size_t kMaxSlots = 0xFFFF;      // the low 16 bits of a handle
constexpr int kHandleShift = 16;

bool IsEnded(char state) { return state == 'Z' || state == 'X' || state == 'x'; }

// A snapshot entry: all digits, not starting with 0, within a PID's range.
bool ParsePid(const char* name, Pid& pid) {
  if (name[0] < '1' || name[0] > '9') return false;
  const char* end = name + std::strlen(name);
  auto [ptr, ec] = std::from_chars(name, end, pid);
  return ec == std::errc() && ptr == end;
}

}  // namespace

ProcfsProcessControl::ProcfsProcessControl() : proc_(::opendir("/proc")) {
  if (proc_) proc_fd_ = ::dirfd(proc_);
  if (long size = ::sysconf(_SC_PAGESIZE); size > 0) page_size_ = size;
}

ProcfsProcessControl::~ProcfsProcessControl() {
  if (proc_) ::closedir(proc_);
}

bool ProcfsProcessControl::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  if (!proc_) return false;
  start_times_.NextPass();
  ::rewinddir(proc_);
  while (const dirent* entry = ::readdir(proc_)) {
    Pid pid = 0;
    if (ParsePid(entry->d_name, pid)) pids.push_back(pid);
  }
  return true;
}

ProcessHandle ProcfsProcessControl::Open(Pid pid, std::uint32_t access, bool /*inherit*/) {
  if (pid <= 0 || proc_fd_ < 0 || access == 0) return 0;
  const std::size_t index = TakeSlot();
  if (index == kMaxSlots) return 0;
  Slot& s = slots_[index];
  s.pid = pid;
  s.access = access;
  bool ok = true;
  if (access & access::kVmRead) ok = ReadExe(s);
  if (ok && (access & access::kTerminate)) {
    ok = OpenPidfd(s);
  } else if (ok && !(access & access::kVmRead)) {
    ok = ConfirmExists(s);
  }
  if (!ok) {
    Release(s);
    return 0;
  }
  return HandleOf(index);
}

bool ProcfsProcessControl::ModulePath(ProcessHandle h, std::string& path) {
  Slot* s = Get(h, kQueryAny);
  if (!s || !s->has_exe) return false;
  path.assign(s->exe.data(), s->exe_len);
  return true;
}

std::uint64_t ProcfsProcessControl::WorkingSet(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  if (!s || !(s->access & access::kVmRead)) return 0;
  std::uint64_t pages = 0;
  if (!s->statm && s->stat_state == StatState::kRead) {
    pages = s->stat.rss_pages;
  } else {
    char buf[256];
    if (!EnsureStatm(*s)) return 0;
    ssize_t n = ::pread(s->statm.get(), buf, sizeof buf, 0);
    if (n <= 0 || !procfs::ParseStatmResident(std::string_view(buf, static_cast<std::size_t>(n)), pages))
      return 0;
  }
  return pages * static_cast<std::uint64_t>(page_size_);
}

std::uint64_t ProcfsProcessControl::StartTime(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  return s ? CachedStartTime(*s) : 0;
}

std::uint32_t ProcfsProcessControl::ExitCode(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  if (!s || !EnsureStat(*s)) return 0;
  return IsEnded(s->stat.state) ? 0 : kStillActive;
}

std::uint32_t ProcfsProcessControl::GetPriorityClass(ProcessHandle h) {
  Slot* s = Get(h, kQueryAny);
  if (!s) return 0;
  if (s->stat_state == StatState::kRead) return procfs::ClassOf(s->stat.policy, s->stat.nice);
  return procfs::ReadClass(s->pid);
}

bool ProcfsProcessControl::SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) {
  Slot* s = Get(h, access::kSetInformation);
  return s && procfs::ApplyClass(proc_fd_, s->pid, priority_class);
}

bool ProcfsProcessControl::Terminate(ProcessHandle h, std::uint32_t /*exit_code*/) {
  Slot* s = Get(h, access::kTerminate);
  return s && s->pidfd && ::syscall(SYS_pidfd_send_signal, s->pidfd.get(), SIGKILL, nullptr, 0) == 0;
}

void ProcfsProcessControl::Close(ProcessHandle h) {
  if (Slot* s = Get(h, ~0u)) Release(*s);
}

int ProcfsProcessControl::OpenHandles() const {
  int n = 0;
  for (const Slot& s : slots_) n += s.used ? 1 : 0;
  return n;
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

void ProcfsProcessControl::Release(Slot& s) {
  s.used = false;
  s.pid = 0;
  s.access = 0;
  s.exe_len = 0;
  s.has_exe = false;
  s.statm.Reset();
  s.pidfd.Reset();
  s.stat_state = StatState::kUnread;
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

// --- what an open checks, and what a slot reads lazily ---------------------

bool ProcfsProcessControl::ReadExe(Slot& s) {
  if (s.exe.size() < kLinkBuffer) s.exe.resize(kLinkBuffer);
  const procfs::ProcPath path(s.pid, "exe");
  for (;;) {
    ssize_t n = ::readlinkat(proc_fd_, path.c_str(), s.exe.data(), s.exe.size());
    if (n <= 0) return false;
    if (static_cast<std::size_t>(n) < s.exe.size()) {
      s.exe_len = static_cast<std::size_t>(n);
      s.has_exe = true;
      return true;
    }
    if (s.exe.size() >= kLinkBufferMax) return false;
    s.exe.resize(s.exe.size() * 2);
  }
}

// The start time is read after the pidfd is opened and the pidfd's process
// is confirmed alive after it: so the PID still named that process when its
// stat was read, and the caller can tell whether it is the process it means.
bool ProcfsProcessControl::OpenPidfd(Slot& s) {
  s.pidfd.Reset(static_cast<int>(::syscall(SYS_pidfd_open, s.pid, 0)));
  if (!s.pidfd) return false;
  s.stat_state = procfs::ReadStat(proc_fd_, s.pid, s.stat) ? StatState::kRead : StatState::kFailed;
  return s.stat_state == StatState::kRead &&
         ::syscall(SYS_pidfd_send_signal, s.pidfd.get(), 0, nullptr, 0) == 0;
}

// An open without the right to read memory needs only the process to exist.
// A handle of the same PID that is open now (the refresh asks the class with
// its read handle still open) has just shown that, and its stat, if read, is
// just as current: take it over instead of reading again.
bool ProcfsProcessControl::ConfirmExists(Slot& s) {
  for (const Slot& other : slots_) {
    if (&other == &s || !other.used || other.pid != s.pid) continue;
    if (other.stat_state == StatState::kRead) {
      s.stat = other.stat;
      s.stat_state = StatState::kRead;
      return true;
    }
    if (other.has_exe || other.pidfd) return true;
  }
  return EnsureStat(s);
}

bool ProcfsProcessControl::EnsureStat(Slot& s) {
  if (s.stat_state == StatState::kUnread)
    s.stat_state = procfs::ReadStat(proc_fd_, s.pid, s.stat) ? StatState::kRead : StatState::kFailed;
  return s.stat_state == StatState::kRead;
}

bool ProcfsProcessControl::EnsureStatm(Slot& s) {
  if (!s.statm) s.statm.Reset(::openat(proc_fd_, procfs::ProcPath(s.pid, "statm").c_str(), O_RDONLY | O_CLOEXEC));
  return static_cast<bool>(s.statm);
}

std::uint64_t ProcfsProcessControl::CachedStartTime(Slot& s) {
  if (s.stat_state != StatState::kUnread) return s.stat_state == StatState::kRead ? s.stat.start_time + 1 : 0;
  struct stat st;
  if (!EnsureStatm(s) || ::fstat(s.statm.get(), &st) != 0) return EnsureStat(s) ? s.stat.start_time + 1 : 0;
  const procfs::InodeStamp stamp = procfs::InodeStamp::Of(st);
  if (std::optional<std::uint64_t> known = start_times_.Find(s.pid, stamp)) return *known;
  if (!EnsureStat(s)) return 0;
  start_times_.Remember(s.pid, stamp, s.stat.start_time + 1);
  return s.stat.start_time + 1;
}

}  // namespace kelvar
