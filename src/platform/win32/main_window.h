// MainForm's native window on Win32: creates the controls the form table
// describes (the list host holding the list, the status bar, the image list,
// the menu bar, the accelerators, the font), builds the portable MainForm
// over them and hands it every event:
// WM_CREATE is OnLoad, WM_SIZE is OnResize after the docking (and
// WM_DPICHANGED rescales the font, columns and panels), the list's
// notifications are OnColumnClick, OnMouseDown and OnItemClick, WM_COMMAND
// is OnCommand and WM_TIMER is OnTick.
#pragma once

#include <memory>

#include "platform/win32/base_window.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/list_view_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/window_win32.h"
#include "ui/main_form.h"

namespace kelvar::win32 {

class MainWindow : public BaseWindow<MainWindow> {
 public:
  explicit MainWindow(Win32System& system);
  ~MainWindow();

  // Creates the window (the form's start-up runs inside); false on failure.
  bool Create(HINSTANCE instance);
  void Show(int show_command);
  // The message loop until the window is gone; the exit code.
  int Run();

  // For the tests: the controls and the form.
  HWND list() const { return list_ ? list_->hwnd() : nullptr; }
  HWND status_bar() const { return status_ ? status_->hwnd() : nullptr; }
  HWND pic_main() const { return list_host_; }
  MainForm* form() const { return form_.get(); }
  Win32Menus& menus() { return menus_; }
  const Win32ImageList& images() const { return images_; }
  MessagePump& pump() { return *pump_; }

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

 private:
  LRESULT OnCreate();
  void OnSize();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  LRESULT OnNotify(const NMHDR* header);
  void OnCommand(UINT id);
  void OnTimer(UINT_PTR id);
  void OnSetFocus();
  void OnDestroy();
  void CreateControls();
  void CreateForm();

  Win32System& system_;
  HFONT font_ = nullptr;
  Win32ImageList images_;
  Win32Menus menus_;
  HWND list_host_ = nullptr;
  std::unique_ptr<Win32ListView> list_;
  std::unique_ptr<Win32StatusBar> status_;
  std::unique_ptr<Win32Window> window_;
  std::unique_ptr<Win32MessageBox> msgbox_;
  std::unique_ptr<Win32Timers> timers_;
  std::unique_ptr<Win32MessagePump> pump_;
  std::unique_ptr<MainForm> form_;
};

// The window's client size in pixels: the form's twips at 15 per pixel at
// 96 DPI, scaled to `dpi`.
SIZE ClientSize(UINT dpi);

}  // namespace kelvar::win32
