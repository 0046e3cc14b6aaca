// What the Windows tests share; see test_support.h.
#include "test_support.h"

#include "platform/win32/controls_win32.h"

namespace kelvar::win32::test {

std::wstring TestFolder() {
  wchar_t buf[MAX_PATH];
  std::wstring exe(buf, GetModuleFileNameW(nullptr, buf, MAX_PATH));
  return exe.substr(0, exe.find_last_of(L'\\'));
}

Child::Child(int megabytes, std::wstring exe)
    : exe_(exe.empty() ? TestFolder() + L"\\kelvar_child.exe" : std::move(exe)) {
  std::wstring command = L"\"" + exe_ + L"\" " + std::to_wstring(megabytes);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info_))
    info_ = {};
  else
    CloseHandle(info_.hThread);
}

Child::~Child() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 1);  // fails harmlessly once it has ended
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hProcess);
}

bool PumpUntil(const std::function<bool()>& done, int ms, HWND window, HACCEL accel) {
  for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message != WM_QUIT) DispatchWithAccelerators(msg, window, accel);
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return false;
  }
}

}  // namespace kelvar::win32::test
