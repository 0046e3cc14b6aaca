// The Window port over the main window, its container the list host and the list.
// The window's own size and position are in twips, converted with the fixed
// 15 twips per pixel the layout rule is written for; everything inside the
// window is in pixels.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/window.h"

namespace kelvar::win32 {

class Win32Window : public Window {
 public:
  Win32Window(HWND window, HWND pic_main, HWND list) : window_(window), list_host_(pic_main), list_(list) {}

  double ScreenWidth() override;
  double ScreenHeight() override;
  double OuterWidth() override;
  double OuterHeight() override;
  void Move(double left_twips, double top_twips) override;
  int ListHostWidth() override;
  int ListHostHeight() override;
  void SetListHostWidth(int pixels) override;
  void MoveList(int left, int top, int width, int height) override;
  void SetTopMost(bool topmost) override;
  void Close() override;

 private:
  HWND window_, list_host_, list_;
};

// the list host's window class: a plain container that passes its children's
// notifications (the list's WM_NOTIFY) on to the main window.
HWND CreateContainer(HWND parent, int id);

}  // namespace kelvar::win32
