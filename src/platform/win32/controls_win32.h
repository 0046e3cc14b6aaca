// The window's small controls and services as the form's ports see them:
// the status bar, the modal message box, the timers and the message pump
// (DoEvents).  Each wraps a handle the main window created.
#pragma once

#include "platform/win32/win32_api.h"

#include <vector>

#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "platform/timers.h"

namespace kelvar::win32 {

class Win32StatusBar : public StatusBar {
 public:
  // Creates the status bar at the bottom of `parent` with the form's panels at `dpi`.
  Win32StatusBar(HWND parent, int id, HFONT font, UINT dpi);
  HWND hwnd() const { return hwnd_; }
  // The panels and the font for another DPI.
  void SetDpi(UINT dpi, HFONT font);
  void SetPanelText(int panel, const std::string& text) override;

 private:
  HWND hwnd_;
};

// The styles of the program's boxes: a question with OK (the default) and
// Cancel under a warning sign, and a notice with OK.
inline constexpr UINT kConfirmStyle = MB_OKCANCEL | MB_ICONEXCLAMATION;
UINT NoticeStyle(Notice notice);

class Win32MessageBox : public MessageBox {
 public:
  explicit Win32MessageBox(HWND owner) : owner_(owner) {}
  bool Confirm(const std::string& text) override;
  void Tell(const std::string& text, Notice notice) override;

 private:
  int Show(const std::string& text, UINT style);

  HWND owner_;
};

// Timer ticks arrive as WM_TIMER with the form's id in wParam.
class Win32Timers : public Timers {
 public:
  explicit Win32Timers(HWND owner) : owner_(owner) {}
  void Start(int id, int interval_ms) override;
  void StopAll();

 private:
  HWND owner_;
  std::vector<int> started_;
};

// One message through the window's accelerators, then to its window.
void DispatchWithAccelerators(MSG& msg, HWND window, HACCEL accelerators);

class Win32MessagePump : public MessagePump {
 public:
  Win32MessagePump(HWND window, HACCEL accelerators) : window_(window), accel_(accelerators) {}
  // Runs what is queued and returns; a WM_QUIT is put back for the main loop.
  void DoEvents() override;

 private:
  HWND window_;
  HACCEL accel_;
};

}  // namespace kelvar::win32
