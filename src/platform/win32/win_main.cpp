// The Windows program's entry point: common controls, COM for the shell's
// properties sheet and file operation, the one window, its message loop.
#include "platform/win32/win32_api.h"

#include <objbase.h>

#include "platform/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 1;
  {
    kelvar::win32::Win32System system;
    kelvar::win32::MainWindow window(system);
    if (window.Create(instance)) {
      window.Show(show_command);
      code = window.Run();
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
