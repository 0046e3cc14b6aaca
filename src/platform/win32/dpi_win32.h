// Dots per inch on Win32.  The form gives its sizes for 96 DPI (twips at 15
// per pixel, column and panel widths in pixels, the font in points); the
// window shows them at the DPI of the monitor it is on and follows that
// monitor's DPI as the window moves (the manifest declares per-monitor
// awareness).
#pragma once

#include "platform/win32/win32_api.h"

namespace kelvar::win32 {

inline constexpr UINT kBaseDpi = 96;
// WM_DPICHANGED, which the headers for Windows 7 do not name.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// The DPI of `window`: GetDpiForWindow where user32 has it (Windows 10
// 1607 and later), else the screen's, which is also the answer for no window.
UINT WindowDpi(HWND window);

// `pixels` given for 96 DPI, at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int pixels, UINT dpi);

}  // namespace kelvar::win32
