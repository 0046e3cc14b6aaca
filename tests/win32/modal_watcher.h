// A helper for tests that open modal loops (a message box, a context menu):
// a message-only window whose timer keeps firing inside the modal loop and
// runs an action until it says it is done, so a test can read and answer
// what opened without a second thread.
#pragma once

#include <functional>
#include <string>

#include "platform/win32/win32_api.h"

namespace kelvar::win32::test {

class ModalWatcher {
 public:
  // `action` runs every `interval_ms` until it answers true.
  explicit ModalWatcher(std::function<bool()> action, int interval_ms = 30);
  ~ModalWatcher();
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  bool done() const { return done_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  std::function<bool()> action_;
  HWND hwnd_ = nullptr;
  bool done_ = false;
};

// The visible popup menu, or null.
HWND OpenPopupMenu();
// The visible message box with this title, or null.
HWND OpenMessageBox(const wchar_t* title);
// The text of a message box.
std::wstring MessageBoxText(HWND box);

}  // namespace kelvar::win32::test
