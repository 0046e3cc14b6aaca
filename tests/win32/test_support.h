// What the Windows tests share: the test folder, a child process, a pump.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <memory>
#include <string>

#include "platform/process_source.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/system_queries_win32.h"
#include "platform/win32/wide_text.h"

namespace kelvar::win32::test {

// The folder of the running test exe, without a trailing backslash.
inline std::wstring TestFolder() { return Widen(Win32Directories().ProgramFolder()); }

// kelvar_child.exe beside the test exe, or a copy of it at `exe`, touching
// `megabytes`; ended, if still running, when destroyed.
class Child {
 public:
  explicit Child(int megabytes = 0, std::wstring exe = L"")
      : exe_(exe.empty() ? TestFolder() + L"\\kelvar_child.exe" : std::move(exe)) {
    std::wstring command = L"\"" + exe_ + L"\" " + std::to_wstring(megabytes);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info_))
      info_ = {};
    if (info_.hThread) CloseHandle(info_.hThread);
  }
  ~Child() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 1);  // fails harmlessly once it has ended
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hProcess);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Pid pid() const { return static_cast<Pid>(info_.dwProcessId); }
  HANDLE handle() const { return info_.hProcess; }
  const std::wstring& path() const { return exe_; }

 private:
  std::wstring exe_;
  PROCESS_INFORMATION info_{};
};

// Deletes the file it names when it goes: declared before the Child that
// runs the file, it outlives the process.
using RemovedAtEnd = std::unique_ptr<const wchar_t, decltype(&DeleteFileW)>;

// Dispatches the thread's messages (through `window`'s accelerators, if
// any) until `done`, if given, holds or `ms` have passed.
inline bool PumpUntil(std::function<bool()> done, int ms, HWND window = nullptr, HACCEL accel = nullptr) {
  for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message != WM_QUIT) DispatchWithAccelerators(msg, window, accel);
    if (done && done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return false;
  }
}

}  // namespace kelvar::win32::test
