// What the Windows tests share; see test_support.h.
#include "test_support.h"

#include "platform/win32/controls_win32.h"
#include "platform/win32/wide_text.h"

namespace kelvar::win32::test {

std::wstring TestFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring exe(buf, n);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

Child::Child(int megabytes, std::wstring exe) : exe_(exe.empty() ? TestFolder() + L"\\kelvar_child.exe" : exe) {
  std::wstring command = L"\"" + exe_ + L"\" " + std::to_wstring(megabytes);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info_)) {
    info_ = {};
    return;
  }
  CloseHandle(info_.hThread);
  info_.hThread = nullptr;
}

Child::~Child() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
}

bool Child::WaitExit(int ms) const {
  return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

DWORD Child::ExitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool PollUntil(const std::function<bool()>& done, int ms) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return done();
    Sleep(20);
  }
  return true;
}

bool PumpUntil(const std::function<bool()>& done, int ms, HWND window, HACCEL accel) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_QUIT) DispatchWithAccelerators(msg, window, accel);
    }
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(int ms, HWND window, HACCEL accel) {
  PumpUntil([] { return false; }, ms, window, accel);
}

bool SamePath(const std::string& a, const std::wstring& b) {
  std::wstring wa = Widen(a);
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace kelvar::win32::test
