// ProcessControl on Win32; see process_control_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/process_control_win32.h"

#include <iterator>

#include "platform/win32/file_identity_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {
namespace {

HANDLE AsHandle(ProcessHandle h) { return reinterpret_cast<HANDLE>(h); }

// Handles of this adapter: the PID shifted past the two bits that are zero
// in every kernel handle, with the lowest set.
constexpr ProcessHandle kKeptTag = 1;
bool IsKeptHandle(ProcessHandle h) { return (h & 3) == kKeptTag; }
ProcessHandle KeptHandle(Pid pid) { return (static_cast<ProcessHandle>(pid) << 2) | kKeptTag; }
Pid PidOfKeptHandle(ProcessHandle h) { return static_cast<Pid>(h >> 2); }

// Rights an open may ask for and still be answered from what is kept.
constexpr std::uint32_t kKeptRights = access::kRead | access::kQueryLimited;

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
// the system grants it.
HANDLE OpenHeld(Pid pid) {
  const auto id = static_cast<DWORD>(pid);
  if (HANDLE h = OpenProcess(access::kRead | SYNCHRONIZE, FALSE, id)) return h;
  return OpenProcess(access::kRead, FALSE, id);
}

}  // namespace

Win32ProcessControl::~Win32ProcessControl() {
  for (auto& [pid, kept] : kept_)
    if (kept.held) CloseHandle(kept.held);
}

// Processes that left the table, or whose PID now names a newer process,
// are let go here, once a pass.
bool Win32ProcessControl::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  const bool read = table_.Read();
  for (auto it = kept_.begin(); it != kept_.end();) {
    const ProcessRecord* now = table_.Find(it->first);
    auto next = std::next(it);
    if (!now || now->create_time != it->second.create_time) Forget(it);
    it = next;
  }
  if (!read) return false;
  pids.reserve(table_.Records().size());
  for (const ProcessRecord& r : table_.Records()) pids.push_back(r.pid);
  return true;
}

ProcessHandle Win32ProcessControl::Open(Pid pid, std::uint32_t access, bool inherit) {
  if (!inherit && access != 0 && (access & ~kKeptRights) == 0) {
    if (Kept* kept = KeptOf(pid)) return kept->held ? KeptHandle(pid) : 0;
  }
  return reinterpret_cast<ProcessHandle>(
      OpenProcess(access, inherit ? TRUE : FALSE, static_cast<DWORD>(pid)));
}

Win32ProcessControl::Kept* Win32ProcessControl::KeptOf(Pid pid) {
  const ProcessRecord* record = table_.Find(pid);
  if (!record) return nullptr;
  auto it = kept_.find(pid);
  if (it != kept_.end() && it->second.create_time == record->create_time) return &it->second;
  if (it != kept_.end()) Forget(it);
  Kept kept;
  kept.create_time = record->create_time;
  if (HANDLE h = OpenHeld(pid)) {
    // The table may be a moment old: a PID opened now must be the process it
    // listed, not a newer one that took the PID since.
    if (CreateTimeOf(h) == record->create_time) {
      kept.held = h;
      kept.path = PathOf(h);
      kept.image = ImageIdentityOf(h);
    } else {
      CloseHandle(h);
    }
  }
  return &kept_.insert_or_assign(pid, std::move(kept)).first->second;
}

Win32ProcessControl::Kept* Win32ProcessControl::Held(ProcessHandle h) {
  if (!IsKeptHandle(h)) return nullptr;
  auto it = kept_.find(PidOfKeptHandle(h));
  return it == kept_.end() || !it->second.held ? nullptr : &it->second;
}

void Win32ProcessControl::Forget(std::unordered_map<Pid, Kept>::iterator it) {
  if (it->second.held) CloseHandle(it->second.held);
  kept_.erase(it);
}

bool Win32ProcessControl::ModulePath(ProcessHandle h, std::string& path) {
  if (IsKeptHandle(h)) {
    Kept* kept = Held(h);
    if (!kept || kept->path.empty()) return false;
    path.assign(kept->path);
    return true;
  }
  path = PathOf(AsHandle(h));
  return !path.empty();
}

std::uint64_t Win32ProcessControl::WorkingSet(ProcessHandle h) {
  if (IsKeptHandle(h)) {
    const ProcessRecord* record = Held(h) ? table_.Find(PidOfKeptHandle(h)) : nullptr;
    return record ? record->working_set : 0;
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(AsHandle(h), &counters, sizeof counters)) return 0;
  return counters.WorkingSetSize;
}

std::uint64_t Win32ProcessControl::StartTime(ProcessHandle h) {
  if (IsKeptHandle(h)) {
    Kept* kept = Held(h);
    return kept ? kept->create_time : 0;
  }
  return CreateTimeOf(AsHandle(h));
}

// A code that cannot be read is not "still active": the sweep then removes
// the row, as it does for a process it cannot open.  A held process still
// runs while its handle is not signalled, whatever code it may end with.
std::uint32_t Win32ProcessControl::ExitCode(ProcessHandle h) {
  DWORD code = 0;
  if (!IsKeptHandle(h)) return GetExitCodeProcess(AsHandle(h), &code) ? code : 0;
  Kept* kept = Held(h);
  if (!kept) return 0;
  const DWORD wait = WaitForSingleObject(kept->held, 0);
  if (wait == WAIT_TIMEOUT) return kStillActive;
  if (!GetExitCodeProcess(kept->held, &code)) return 0;
  // Without the right to wait, the exit code alone tells.
  if (wait == WAIT_FAILED) return code;
  return code == kStillActive ? 0 : code;
}

FileIdentity Win32ProcessControl::ImageIdentity(ProcessHandle h) {
  if (IsKeptHandle(h)) {
    Kept* kept = Held(h);
    return kept ? kept->image : FileIdentity{};
  }
  return ImageIdentityOf(AsHandle(h));
}

std::uint32_t Win32ProcessControl::GetPriorityClass(ProcessHandle h) {
  if (IsKeptHandle(h)) {
    Kept* kept = Held(h);
    return kept ? ::GetPriorityClass(kept->held) : 0;
  }
  return ::GetPriorityClass(AsHandle(h));
}

// Handles of this adapter hold reading rights only: setting and ending take
// a real open with their own rights.
bool Win32ProcessControl::SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) {
  return !IsKeptHandle(h) && ::SetPriorityClass(AsHandle(h), priority_class) != FALSE;
}

bool Win32ProcessControl::Terminate(ProcessHandle h, std::uint32_t exit_code) {
  return !IsKeptHandle(h) && TerminateProcess(AsHandle(h), exit_code) != FALSE;
}

void Win32ProcessControl::Close(ProcessHandle h) {
  if (h && !IsKeptHandle(h)) CloseHandle(AsHandle(h));
}

std::size_t Win32ProcessControl::HeldProcesses() const {
  std::size_t n = 0;
  for (const auto& [pid, kept] : kept_) n += kept.held ? 1 : 0;
  return n;
}

}  // namespace kelvar::win32
