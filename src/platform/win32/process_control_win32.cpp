// ProcessControl on Win32; see process_control_win32.h.
#include "platform/win32/win32_api.h"
#include "platform/win32/process_control_win32.h"

#include "platform/win32/wide_text.h"

namespace kelvar::win32 {
namespace {

HANDLE AsHandle(ProcessHandle h) { return reinterpret_cast<HANDLE>(h); }

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

}  // namespace

// Only the process list is taken: the rules use nothing but the PIDs, and a
// snapshot of every module of every process would cost far more.
bool Win32ProcessControl::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
    pids.push_back(static_cast<Pid>(entry.th32ProcessID));
  }
  CloseHandle(snap);
  return true;
}

ProcessHandle Win32ProcessControl::Open(Pid pid, std::uint32_t access, bool inherit) {
  HANDLE h = OpenProcess(access, inherit ? TRUE : FALSE, static_cast<DWORD>(pid));
  return reinterpret_cast<ProcessHandle>(h);
}

bool Win32ProcessControl::ModulePath(ProcessHandle h, std::string& path) {
  std::wstring name;
  if (!FirstModuleName(AsHandle(h), name) && !ImageName(AsHandle(h), name)) return false;
  path = Narrow(name);
  return true;
}

std::uint64_t Win32ProcessControl::WorkingSet(ProcessHandle h) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(AsHandle(h), &counters, sizeof counters)) return 0;
  return counters.WorkingSetSize;
}

std::uint64_t Win32ProcessControl::StartTime(ProcessHandle h) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(AsHandle(h), &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// A code that cannot be read is not "still active": the sweep then removes
// the row, as it does for a process it cannot open.
std::uint32_t Win32ProcessControl::ExitCode(ProcessHandle h) {
  DWORD code = 0;
  if (!GetExitCodeProcess(AsHandle(h), &code)) return 0;
  return code;
}

std::uint32_t Win32ProcessControl::GetPriorityClass(ProcessHandle h) {
  return ::GetPriorityClass(AsHandle(h));
}

bool Win32ProcessControl::SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) {
  return ::SetPriorityClass(AsHandle(h), priority_class) != FALSE;
}

bool Win32ProcessControl::Terminate(ProcessHandle h, std::uint32_t exit_code) {
  return TerminateProcess(AsHandle(h), exit_code) != FALSE;
}

void Win32ProcessControl::Close(ProcessHandle h) {
  if (h) CloseHandle(AsHandle(h));
}

}  // namespace kelvar::win32
