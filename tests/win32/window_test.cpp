// The native window under Wine with its real controls.
#include <gtest/gtest.h>

#include "platform/win32/main_window.h"
#include "test_support.h"

namespace kelvar::win32::test {
namespace {

// A timer keeps firing inside the context menu's modal loop, so a test can
// read and close the menu without a second thread; its id is the watcher.
void CALLBACK Watch(HWND, UINT, UINT_PTR watch, DWORD) {
  (*reinterpret_cast<std::function<void()>*>(watch))();
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
    window_->Show(SW_SHOWNORMAL);
    Pump(50);
    KillTimer(hwnd(), 1), KillTimer(hwnd(), 2);  // only what the test does changes the list from now on
  }
  void TearDown() override { window_.reset(), PumpUntil({}, 50); }
  HWND hwnd() const { return window_->hwnd(); }
  HWND list() const { return window_->list(); }
  RowStore& rows() const { return window_->form()->Rows(); }
  bool Pump(int ms, const std::function<bool()>& done = {}) {
    return PumpUntil(done, ms, hwnd(), window_->menus().accelerators());
  }
  // The child's row, F5 pressed until it has one; kNoRow after 5 s.
  int RowOf(const Child& child) {
    const auto row = [&] { return rows().RowOf(child.pid()); };
    Pump(5000, [&] { return row() != kNoRow || (PostMessageW(list(), WM_KEYDOWN, VK_F5, 0), false); });
    return row();
  }

  Win32System system_;
  std::unique_ptr<MainWindow> window_ = std::make_unique<MainWindow>(system_);
};

// Each column's "title/width" ("R": right-aligned), the panels' edges and the font's
// height follow WM_DPICHANGED from 96 DPI to 144 and back; the window takes the rect.
TEST_F(WindowTest, SizesFollowTheDpi) {
  const std::string
      at96 = "进程名称/120 PID/45 内存(K)/55R 种类/36 级别/36 优先/36 进程路径/400 备注/500 |96|246|-1|-12",
      at144 = "进程名称/180 PID/68 内存(K)/83R 种类/54 级别/54 优先/54 进程路径/600 备注/750 |144|369|-1|-18";
  for (const auto& [dpi, sizes] : {std::pair{0, at96}, {144, at144}, {96, at96}}) {  // 0: as started
    SCOPED_TRACE(dpi);
    RECT suggested{10, 20, 10 + dpi * 6, 20 + dpi * 5}, now{};  // sent with WM_DPICHANGED, 0x02E0
    if (dpi) SendMessageW(hwnd(), 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_TRUE(!dpi || (GetWindowRect(hwnd(), &now) && EqualRect(&now, &suggested)));
    std::string seen;
    for (int i = 0; i < Header_GetItemCount(ListView_GetHeader(list())); ++i) {
      wchar_t title[64] = {};
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT, col.pszText = title, col.cchTextMax = 64;
      ListView_GetColumn(list(), i, &col);
      seen += Narrow(title) + "/" + std::to_string(col.cx) + ((col.fmt & LVCFMT_RIGHT) ? "R " : " ");
    }
    int edges[3] = {};
    SendMessageW(window_->status_bar(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list(), WM_GETFONT, 0, 0)), sizeof font, &font);
    for (int n : {edges[0], edges[1], edges[2], int(font.lfHeight)}) seen += "|" + std::to_string(n);
    EXPECT_EQ(seen, sizes);
  }
}

// A row whose file was renamed away shows no name but is spoken by its path.
TEST_F(WindowTest, ANamelessRowIsSpokenByItsPath) {
  const std::wstring exe = TestFolder() + L"\\nameless" + std::to_wstring(GetTickCount()) + L".exe",
                     old = exe + L".old";
  const RemovedAtEnd removed(old.c_str(), &DeleteFileW);
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\kelvar_child.exe").c_str(), exe.c_str(), FALSE));
  Child child(0, exe);
  ASSERT_TRUE(MoveFileW(exe.c_str(), old.c_str()));
  const int row = RowOf(child);
  ASSERT_NE(row, kNoRow);
  EXPECT_EQ(rows().Text(row, Column::kName), "");
  wchar_t text[MAX_PATH] = {};
  ListView_GetItemText(list(), row, 0, text, MAX_PATH);
  EXPECT_EQ(lstrcmpiW(text, exe.c_str()), 0) << Narrow(text);
}

// Selected in the control, a row is the program's; the keyboard's
// WM_CONTEXTMENU opens the process menu at that row with its class ticked.
TEST_F(WindowTest, TheKeyboardOpensTheProcessMenuAtTheSelectedRow) {
  Child child;
  SetPriorityClass(child.handle(), BELOW_NORMAL_PRIORITY_CLASS);
  const int row = RowOf(child);
  ASSERT_NE(row, kNoRow);
  ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list(), row, FALSE);
  EXPECT_EQ(rows().Selected(), row);
  std::string ticks;
  RECT shown{}, cell{};
  std::function<void()> watch = [&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!ticks.empty() || !menu || !IsWindowVisible(menu)) return;
    for (int i = 0; i < 6; ++i) ticks += window_->menus().Checked("priority_class", i) ? "x" : "-";
    GetWindowRect(menu, &shown);
    EndMenu();
  };
  SetTimer(list(), reinterpret_cast<UINT_PTR>(&watch), 30, &Watch);
  SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
  Pump(50);
  KillTimer(list(), reinterpret_cast<UINT_PTR>(&watch));
  EXPECT_EQ(ticks, "----x-");
  ListView_GetItemRect(list(), row, &cell, LVIR_LABEL);
  POINT corner{cell.left, cell.bottom};
  ClientToScreen(list(), &corner);
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_TRUE(shown.top == corner.y || shown.bottom == corner.y) << shown.top << " " << corner.y;
}

// A menu item's WM_COMMAND reaches the form as its command.
TEST_F(WindowTest, MenuCommandsReachTheForm) {
  Child child;
  const int row = RowOf(child);
  ASSERT_NE(row, kNoRow);
  rows().Select(row);
  SendMessageW(hwnd(), WM_COMMAND, window_->menus().CommandId("priority_class", 5), 0);
  EXPECT_EQ(GetPriorityClass(child.handle()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
}

// The control shows every row and is named.
TEST_F(WindowTest, TheListShowsEveryRowUnderItsName) {
  EXPECT_EQ(ListView_GetItemCount(list()), rows().Count());
  wchar_t text[64] = {};
  GetWindowTextW(list(), text, 64);
  EXPECT_EQ(Narrow(text), "进程列表");
}

// Typing selects services.exe in either build: the 32-bit one, unable to read a 64-bit
// module list, names it from the kernel's image name and finds the real System32.
TEST_F(WindowTest, TypingSelectsARowByItsName) {
  SetFocus(list());
  for (wchar_t c : std::wstring(L"SERV")) SendMessageW(list(), WM_CHAR, c, 1);
  Pump(50);
  const int item = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
  wchar_t text[64] = {};
  ListView_GetItemText(list(), item, 0, text, 64);
  EXPECT_EQ(Narrow(text), "services.exe");
  ASSERT_EQ(rows().Selected(), item);
  EXPECT_EQ(
      lstrcmpiW(Widen(rows().Text(item, Column::kPath)).c_str(), L"C:\\windows\\system32\\services.exe"), 0);
  EXPECT_EQ(rows().Text(item, Column::kKind), "系统") << "the sample remark file names services.exe";
}

// When the selected row and the next go, no row is selected or focused.
TEST_F(WindowTest, RemovedRowsLeaveNoneSelectedOrFocused) {
  ASSERT_GE(rows().Count(), 2);
  ListView_SetItemState(list(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_EQ(rows().Selected(), 0);
  for (int i = 0; i < 2; ++i) {
    rows().Remove(0);
    EXPECT_EQ(rows().Selected(), kNoRow);
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), -1) << i;
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), -1) << i;
  }
}

}  // namespace
}  // namespace kelvar::win32::test
