// What the Windows tests share: the test folder, a child process, a pump.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <string>

#include "platform/process_source.h"

namespace kelvar::win32::test {

// The folder of the running test exe, without a trailing backslash.
std::wstring TestFolder();

// kelvar_child.exe beside the test exe, or a copy of it at `exe`, touching
// `megabytes`; ended, if still running, when destroyed.
class Child {
 public:
  explicit Child(int megabytes = 0, std::wstring exe = L"");
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Pid pid() const { return static_cast<Pid>(info_.dwProcessId); }
  HANDLE handle() const { return info_.hProcess; }
  const std::wstring& path() const { return exe_; }

 private:
  std::wstring exe_;
  PROCESS_INFORMATION info_{};
};

// Dispatches the thread's messages (through `window`'s accelerators, if
// any) until `done` holds or `ms` have passed.
bool PumpUntil(const std::function<bool()>& done, int ms, HWND window = nullptr, HACCEL accel = nullptr);

}  // namespace kelvar::win32::test
