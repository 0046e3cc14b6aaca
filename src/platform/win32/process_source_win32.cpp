// The process source on Win32; see process_source_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/process_source_win32.h"

#include <array>
#include <iterator>
#include <utility>

#include "platform/win32/file_identity_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {
namespace {

constexpr std::array<std::pair<Priority, DWORD>, 6> kClassValues{{
    {Priority::kRealtime, REALTIME_PRIORITY_CLASS},
    {Priority::kHigh, HIGH_PRIORITY_CLASS},
    {Priority::kAboveNormal, ABOVE_NORMAL_PRIORITY_CLASS},
    {Priority::kNormal, NORMAL_PRIORITY_CLASS},
    {Priority::kBelowNormal, BELOW_NORMAL_PRIORITY_CLASS},
    {Priority::kIdle, IDLE_PRIORITY_CLASS},
}};

// The module list names the executable first.  MAX_PATH characters, as the
// list has always been read.
bool FirstModuleName(HANDLE process, std::wstring& name) {
  HMODULE modules[50];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed) || needed == 0) return false;
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameExW(process, modules[0], buf, MAX_PATH);
  if (n == 0) return false;
  name.assign(buf, n);
  return true;
}

bool ImageName(HANDLE process, std::wstring& name) {
  wchar_t buf[MAX_PATH * 4];
  DWORD n = MAX_PATH * 4;
  if (!QueryFullProcessImageNameW(process, 0, buf, &n) || n == 0) return false;
  name.assign(buf, n);
  return true;
}

std::string PathOf(HANDLE process) {
  std::wstring name;
  if (!FirstModuleName(process, name) && !ImageName(process, name)) return {};
  return Narrow(name);
}

// The image file by the kernel's name for it, through Sysnative where this
// 32-bit process would otherwise see SysWOW64.
FileIdentity ImageIdentityOf(HANDLE process) {
  std::wstring name;
  return ImageName(process, name) ? IdentityOfFile(NativeFilePath(name)) : FileIdentity{};
}

std::uint64_t CreateTimeOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The read handle kept for a process, with the right to wait on it where
// the system grants it.  The read access is asked alone first: a process
// that refuses it is asked again at every pass, and costs one open there.
HANDLE OpenHeld(Pid pid) {
  const auto id = static_cast<DWORD>(pid);
  HANDLE h = OpenProcess(kReadAccess, FALSE, id);
  if (!h) return nullptr;
  if (HANDLE waitable = OpenProcess(kReadAccess | SYNCHRONIZE, FALSE, id)) {
    CloseHandle(h);
    return waitable;
  }
  return h;
}

// The read handle of the process a table entry lists, or null.  The table
// may be a moment old: a PID opened now must be the process it listed, not
// a newer one that took the PID since.
HANDLE OpenListed(const TableEntry& entry) {
  HANDLE h = OpenHeld(entry.pid);
  if (h && CreateTimeOf(h) != entry.create_time) {
    CloseHandle(h);
    h = nullptr;
  }
  return h;
}

// Whether the process can be opened for reading now.
bool OpensForReading(Pid pid) {
  HANDLE h = OpenProcess(kReadAccess, FALSE, static_cast<DWORD>(pid));
  if (h) CloseHandle(h);
  return h != nullptr;
}

// Whether a process still runs.  A code that cannot be read is not "still
// active"; without the right to wait, the exit code alone tells.
bool StillRuns(HANDLE process) {
  const DWORD wait = WaitForSingleObject(process, 0);
  if (wait == WAIT_TIMEOUT) return true;
  DWORD code = 0;
  return wait == WAIT_FAILED && GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
}

// A process handle opened for one act, closed on every way out of it, and
// only while the PID still names the process that started at `start`.
class OpenFor {
 public:
  OpenFor(const ProcessId& process, DWORD access, bool inherit = false)
      : h_(OpenProcess(access, inherit ? TRUE : FALSE, static_cast<DWORD>(process.pid))) {
    if (h_ && !SameProcess(process, CreateTimeOf(h_))) {
      CloseHandle(h_);
      h_ = nullptr;
    }
  }
  ~OpenFor() {
    if (h_) CloseHandle(h_);
  }
  OpenFor(const OpenFor&) = delete;
  OpenFor& operator=(const OpenFor&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

DWORD PriorityClassValue(Priority priority) {
  for (const auto& [p, value] : kClassValues)
    if (p == priority) return value;
  return 0;
}

Priority PriorityOfClass(DWORD value) {
  for (const auto& [p, v] : kClassValues)
    if (v == value) return p;
  return Priority::kUnknown;
}

Win32ProcessSource::~Win32ProcessSource() {
  for (auto& [pid, kept] : kept_)
    if (kept.held) CloseHandle(kept.held);
}

// Processes that left the table, or whose PID now names a newer process,
// are let go here, once a pass.
bool Win32ProcessSource::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  const bool read = table_.Read();
  for (auto it = kept_.begin(); it != kept_.end();) {
    const TableEntry* now = table_.Find(it->first);
    auto next = std::next(it);
    if (!now || now->create_time != it->second.create_time) Forget(it);
    it = next;
  }
  if (!read) return false;
  pids.reserve(table_.Records().size());
  for (const TableEntry& r : table_.Records()) pids.push_back(r.pid);
  return true;
}

bool Win32ProcessSource::Read(Pid pid, bool with_image, ProcessRecord& record) {
  const TableEntry* entry = table_.Find(pid);
  if (!entry) return false;
  const Kept& kept = KeptOf(*entry);
  if (!kept.held || kept.path.empty()) return false;
  record.id = {pid, kept.create_time};
  record.working_set = entry->working_set;
  record.priority = PriorityOfClass(GetPriorityClass(kept.held));
  record.image = kept.image;
  if (with_image) record.path = kept.path;
  return true;
}

// The held handle keeps answering after the process has taken its read
// access away (a handle keeps the rights it was opened with), so the sweep
// opens the process once more, as the refresh would, and lets the handle go
// when it cannot.  While the handle is held the PID names no other process.
Liveness Win32ProcessSource::Look(const ProcessId& process, FileIdentity& image, LookDepth) {
  const TableEntry* entry = table_.Find(process.pid);
  if (!entry) return LookUnlisted(process, image);
  Kept& kept = KeptOf(*entry);
  if (!SameProcess(process, kept.create_time)) return Liveness::kGone;
  if (!kept.held) return Liveness::kUnreadable;
  if (!StillRuns(kept.held)) return Liveness::kGone;
  if (!OpensForReading(process.pid)) {
    CloseHandle(std::exchange(kept.held, nullptr));
    return Liveness::kUnreadable;
  }
  image = kept.image;
  return Liveness::kRunning;
}

// A process that cannot be opened for reading is taken as gone: Windows
// cannot tell one that ended from one that refuses.
Liveness Win32ProcessSource::LookUnlisted(const ProcessId& process, FileIdentity& image) {
  OpenFor h(process, kReadAccess);
  if (!h.get() || !StillRuns(h.get())) return Liveness::kGone;
  image = ImageIdentityOf(h.get());
  return Liveness::kRunning;
}

bool Win32ProcessSource::End(const ProcessId& process) {
  OpenFor h(process, kEndAccess, true);
  return h.get() && TerminateProcess(h.get(), 0);
}

bool Win32ProcessSource::SetPriority(const ProcessId& process, Priority priority) {
  const DWORD value = PriorityClassValue(priority);
  OpenFor h(process, kSetClassAccess);
  return value != 0 && h.get() && SetPriorityClass(h.get(), value);
}

// A process seen before is asked again while it has no held handle or no
// path: one caught a moment after it was made, or one that could not be
// opened just then (or no longer can), gets its row once it can be read.
Win32ProcessSource::Kept& Win32ProcessSource::KeptOf(const TableEntry& entry) {
  auto it = kept_.find(entry.pid);
  if (it != kept_.end() && it->second.create_time != entry.create_time) {
    Forget(it);
    it = kept_.end();
  }
  if (it == kept_.end()) {
    it = kept_.try_emplace(entry.pid).first;
    it->second.create_time = entry.create_time;
  }
  Kept& kept = it->second;
  if (!kept.held) kept.held = OpenListed(entry);
  if (kept.held && kept.path.empty()) {
    kept.path = PathOf(kept.held);
    kept.image = ImageIdentityOf(kept.held);
  }
  return kept;
}

void Win32ProcessSource::Forget(std::unordered_map<Pid, Kept>::iterator it) {
  if (it->second.held) CloseHandle(it->second.held);
  kept_.erase(it);
}

std::size_t Win32ProcessSource::HeldProcesses() const {
  std::size_t n = 0;
  for (const auto& [pid, kept] : kept_) n += kept.held ? 1 : 0;
  return n;
}

}  // namespace kelvar::win32
