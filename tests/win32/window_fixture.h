// The window tests' fixture: the real frmMain window with its real controls
// under Wine, over the real system adapters (the shell adds
// FOF_NOCONFIRMATION so a delete never waits for a click), and the small
// reads and clicks the tests make on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/main_window.h"
#include "test_support.h"

namespace kelvar::win32::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND hwnd() const { return window_->hwnd(); }
  HWND list() const { return window_->list(); }
  frmMain& form() const { return *window_->form(); }
  RowStore& rows() const { return window_->form()->List1(); }
  Win32Menus& menus() const { return window_->menus(); }

  void Pump(int ms);
  bool PumpUntil(const std::function<bool()>& done, int ms);
  // Only what the test does changes the list from now on.
  void StopTimers();
  void Command(std::string_view name, int index = -1);
  // Waits until the child is in the process table, then refreshes.
  int RowOfChild(const Child& child);

  int ItemCount() const;
  std::wstring ItemText(int item, int column) const;  // 0-based, as the control numbers them
  int SelectedItem() const;                           // 0-based, -1 for none
  std::wstring PanelText(int panel) const;            // 1-based
  RECT ItemRect(int item) const;
  void RightPress(POINT at);
  void ClickHeader(int column);  // 0-based

  Win32System system_{fo::kNoConfirmation};
  std::unique_ptr<MainWindow> window_;
  DWORD startup_ms_ = 0;
};

}  // namespace kelvar::win32::test
