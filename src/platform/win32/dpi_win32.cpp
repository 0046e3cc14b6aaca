// The DPI of a window; see dpi_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/dpi_win32.h"

namespace kelvar::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  // Windows 7 lacks the entry point: it is looked up, not imported.
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  UINT dpi = window && get_dpi_for_window ? get_dpi_for_window(window) : 0;
  return dpi ? dpi : ScreenDpi();
}

int ScaleToDpi(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

}  // namespace kelvar::win32
