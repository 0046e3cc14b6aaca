// The window tests' fixture; see window_fixture.h.
#include "window_fixture.h"

#include <algorithm>

#include "ui/form_definition.h"

namespace kelvar::win32::test {

void WindowTest::SetUp() {
  DWORD start = GetTickCount();
  window_ = std::make_unique<MainWindow>(system_);
  ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
  window_->Show(SW_SHOWNORMAL);
  startup_ms_ = GetTickCount() - start;
  Pump(50);
}

void WindowTest::TearDown() {
  window_.reset();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
  }
}

void WindowTest::Pump(int ms) { PumpFor(ms, hwnd(), menus().accelerators()); }

bool WindowTest::PumpUntil(const std::function<bool()>& done, int ms) {
  return test::PumpUntil(done, ms, hwnd(), menus().accelerators());
}

void WindowTest::StopTimers() {
  KillTimer(hwnd(), form::kTimer1);
  KillTimer(hwnd(), form::kTimer2);
}

void WindowTest::Command(std::string_view name, int index) {
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(menus().CommandId(name, index), 0), 0);
}

int WindowTest::RowOfChild(const Child& child) {
  std::vector<Pid> pids;
  PollUntil([&] {
    return system_.proc.Snapshot(pids) && std::find(pids.begin(), pids.end(), child.pid()) != pids.end();
  }, 5000);
  Command("mnuRefurbish");
  return form().Monitor().HaveItem(child.pid());
}

int WindowTest::ItemCount() const { return ListView_GetItemCount(list()); }

std::wstring WindowTest::ItemText(int item, int column) const {
  wchar_t buf[512] = {};
  ListView_GetItemText(list(), item, column, buf, 512);
  return buf;
}

int WindowTest::SelectedItem() const { return ListView_GetNextItem(list(), -1, LVNI_SELECTED); }

std::wstring WindowTest::PanelText(int panel) const {
  wchar_t buf[256] = {};
  SendMessageW(window_->status_bar(), SB_GETTEXTW, static_cast<WPARAM>(panel - 1), reinterpret_cast<LPARAM>(buf));
  return buf;
}

RECT WindowTest::ItemRect(int item) const {
  ListView_EnsureVisible(list(), item, FALSE);
  RECT r{};
  ListView_GetItemRect(list(), item, &r, LVIR_BOUNDS);
  return r;
}

void WindowTest::RightPress(POINT at) {
  SendMessageW(list(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(list(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// A press and release on the header item, as a mouse click makes them.
void WindowTest::ClickHeader(int column) {
  HWND header = ListView_GetHeader(list());
  RECT r{};
  Header_GetItemRect(header, column, &r);
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
}

}  // namespace kelvar::win32::test
