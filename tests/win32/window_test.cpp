// The native window under Wine, the real frmMain with its real controls over
// the real system adapters: what start-up builds (columns, rows, status
// bar), F5, sorting by a header click, the right press and the Menu key with
// their context menu, and always-on-top with its check mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "monitor/row_compare.h"
#include "platform/win32/main_window.h"
#include "platform/win32/wide_text.h"
#include "test_support.h"
#include "ui/form_definition.h"

namespace kelvar::win32::test {
namespace {

// A thread timer keeps firing inside a modal loop (the context menu), so a
// test can read and close what opened without a second thread.
std::function<bool()>* g_watch = nullptr;
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  if (g_watch) (*g_watch)();
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD start = GetTickCount();
    window_ = std::make_unique<MainWindow>(system_);
    ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
    window_->Show(SW_SHOWNORMAL);
    startup_ms_ = GetTickCount() - start;
    Pump(50);
  }
  void TearDown() override {
    window_.reset();
    PumpFor(50);
  }

  HWND hwnd() const { return window_->hwnd(); }
  HWND list() const { return window_->list(); }
  RowStore& rows() const { return window_->form()->List1(); }
  ProcessMonitor& monitor() const { return window_->form()->Monitor(); }
  Win32Menus& menus() const { return window_->menus(); }

  void Pump(int ms) { PumpFor(ms, hwnd(), menus().accelerators()); }
  bool PumpUntil(const std::function<bool()>& done, int ms) {
    return test::PumpUntil(done, ms, hwnd(), menus().accelerators());
  }
  // Only what the test does changes the list from now on.
  void StopTimers() {
    KillTimer(hwnd(), form::kTimer1);
    KillTimer(hwnd(), form::kTimer2);
  }
  void Command(std::string_view name, int index = -1) {
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(menus().CommandId(name, index), 0), 0);
  }
  bool InSnapshot(Pid pid) {
    std::vector<Pid> pids;
    return system_.proc.Snapshot(pids) && std::find(pids.begin(), pids.end(), pid) != pids.end();
  }
  int ItemCount() const { return ListView_GetItemCount(list()); }
  std::wstring ItemText(int item, int column) const {  // 0-based, as the control numbers them
    wchar_t buf[512] = {};
    ListView_GetItemText(list(), item, column, buf, 512);
    return buf;
  }
  std::wstring PanelText(int panel) const {  // 1-based
    wchar_t buf[256] = {};
    SendMessageW(window_->status_bar(), SB_GETTEXTW, static_cast<WPARAM>(panel - 1),
                 reinterpret_cast<LPARAM>(buf));
    return buf;
  }

  Win32System system_;
  std::unique_ptr<MainWindow> window_;
  DWORD startup_ms_ = 0;
};

TEST_F(WindowTest, StartUpShowsTheEightColumnsTheRowsAndTheTotals) {
  std::printf("start-up (create, load, first refresh, show): %lu ms\n", startup_ms_);
  ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(list())), 8);
  for (int i = 0; i < 8; ++i) {
    const form::Column& want = form::kColumns[static_cast<std::size_t>(i)];
    wchar_t title[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = title;
    col.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list(), i, &col));
    EXPECT_EQ(Narrow(title), want.title);
    EXPECT_EQ(col.cx, want.width);
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, want.right_aligned ? LVCFMT_RIGHT : LVCFMT_LEFT) << i;
  }
  EXPECT_EQ(std::count_if(std::begin(form::kColumns), std::end(form::kColumns),
                          [](const form::Column& c) { return c.right_aligned; }),
            1);
  ASSERT_GT(ItemCount(), 0);
  EXPECT_EQ(ItemCount(), rows().Count());
  EXPECT_EQ(Narrow(ItemText(0, 1)), rows().SubItem(1, cell::kPid));
  EXPECT_EQ(PanelText(1).rfind(L"进程数：", 0), 0u) << Narrow(PanelText(1));
  EXPECT_EQ(PanelText(2).rfind(L"已用内存：", 0), 0u) << Narrow(PanelText(2));
  EXPECT_GT(PanelText(2).size(), 5u);
}

TEST_F(WindowTest, F5RefreshesAtOnce) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(PollUntil([&] { return InSnapshot(child.pid()); }, 5000));
  EXPECT_EQ(monitor().HaveItem(child.pid()), 0);
  PostMessageW(list(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_TRUE(PumpUntil([&] { return monitor().HaveItem(child.pid()) != 0; }, 2000));
  EXPECT_EQ(ItemCount(), rows().Count());
}

TEST_F(WindowTest, CtrlATogglesAlwaysOnTopAndItsCheckMark) {
  auto topmost = [&] { return (GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(list(), WM_KEYDOWN, 'A', 0);
  Pump(50);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(menus().Checked("mnuOnTop"));
  EXPECT_TRUE(topmost());
  Command("mnuOnTop");
  EXPECT_FALSE(menus().Checked("mnuOnTop"));
  EXPECT_FALSE(topmost());
}

// A press and release on the header item (LVN_COLUMNCLICK).  A first click on
// "PID" sorts by number ascending, a second descending; the first click ever
// on the name column sorts descending.
TEST_F(WindowTest, HeaderClicksSortTheList) {
  auto click = [&](int column) {
    HWND header = ListView_GetHeader(list());
    RECT r{};
    Header_GetItemRect(header, column, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
  };
  auto column_sorted = [&](int column, int order) {
    for (int i = 1; i < ItemCount(); ++i) {
      int c = CompareCells(column, Narrow(ItemText(i - 1, column)), Narrow(ItemText(i, column)));
      if (order == 0 ? c > 0 : c < 0) return false;
    }
    return true;
  };
  StopTimers();
  struct Step {
    int column, key, order;
  };
  for (Step s : {Step{0, 0, 1}, Step{1, 1, 0}, Step{1, 1, 1}}) {
    SCOPED_TRACE(s.column);
    click(s.column);
    EXPECT_TRUE(rows().Sorted());
    EXPECT_EQ(rows().SortKey(), s.key);
    EXPECT_EQ(rows().SortOrder(), s.order);
    EXPECT_TRUE(column_sorted(s.column, s.order));
  }
  EXPECT_GT(std::stoi(ItemText(0, 1)), std::stoi(ItemText(ItemCount() - 1, 1)));
}

TEST_F(WindowTest, RightPressSelectsTheRowTicksItsClassAndOpensTheProcessMenu) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  SetPriorityClass(child.handle(), ABOVE_NORMAL_PRIORITY_CLASS);
  ASSERT_TRUE(PollUntil([&] { return InSnapshot(child.pid()); }, 5000));
  Command("mnuRefurbish");
  int row = monitor().HaveItem(child.pid());
  ASSERT_NE(row, 0);
  ASSERT_EQ(rows().SubItem(row, cell::kPriority), "较高");
  ListView_EnsureVisible(list(), row - 1, FALSE);
  RECT r{};
  ListView_GetItemRect(list(), row - 1, &r, LVIR_BOUNDS);
  bool opened = false;
  bool ticks[6] = {};
  std::function<bool()> watch = [&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (opened || !menu || !IsWindowVisible(menu)) return false;
    opened = true;
    for (int i = 0; i < 6; ++i) ticks[i] = menus().Checked("mnuSetProClassSub", i);
    EndMenu();
    return true;
  };
  g_watch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, &Watch);
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(list(), WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(list(), WM_RBUTTONUP, 0, at);
  Pump(50);
  KillTimer(nullptr, timer);
  g_watch = nullptr;
  EXPECT_TRUE(opened);
  EXPECT_EQ(rows().Selected(), row);
  EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), row - 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ticks[i], i == 2) << i;
}

// The Menu key and Shift+F10 send WM_CONTEXTMENU at (-1, -1): the Process
// menu opens for the selected row, at that row, with its class ticked.
TEST_F(WindowTest, MenuKeyOpensTheProcessMenuAtTheSelectedRow) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  SetPriorityClass(child.handle(), BELOW_NORMAL_PRIORITY_CLASS);
  ASSERT_TRUE(PollUntil([&] { return InSnapshot(child.pid()); }, 5000));
  Command("mnuRefurbish");
  int row = monitor().HaveItem(child.pid());
  ASSERT_NE(row, 0);
  ListView_SetItemState(list(), row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_EQ(rows().Selected(), row);
  bool opened = false;
  bool ticks[6] = {};
  RECT shown{};
  std::function<bool()> watch = [&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (opened || !menu || !IsWindowVisible(menu)) return false;
    opened = true;
    for (int i = 0; i < 6; ++i) ticks[i] = menus().Checked("mnuSetProClassSub", i);
    GetWindowRect(menu, &shown);
    EndMenu();
    return true;
  };
  g_watch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, &Watch);
  SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
  Pump(50);
  KillTimer(nullptr, timer);
  g_watch = nullptr;
  ASSERT_TRUE(opened);
  EXPECT_EQ(rows().Selected(), row);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ticks[i], i == 4) << i;
  RECT cell{};
  ListView_GetItemRect(list(), row - 1, &cell, LVIR_LABEL);
  POINT corner{cell.left, cell.bottom};
  ClientToScreen(list(), &corner);
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_TRUE(shown.top == corner.y || shown.bottom == corner.y) << shown.top << " " << corner.y;
}

// The selected row goes, then the row after it: the control keeps its
// states by index, yet it shows no selected and no focused row, as the
// store selects none.
TEST_F(WindowTest, RemovedRowsLeaveNoRowHighlighted) {
  StopTimers();
  ASSERT_GT(rows().Count(), 3);
  ListView_SetItemState(list(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_EQ(rows().Selected(), 2);
  for (int i = 0; i < 2; ++i) {
    rows().Remove(2);
    EXPECT_EQ(rows().Selected(), 0);
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), -1) << i;
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), -1) << i;
  }
}

// Typing the start of a name selects the next row with that name, as in
// Explorer's lists: the owner-data list asks the program to find it.
TEST_F(WindowTest, TypingANameSelectsTheNextRowWithThatName) {
  StopTimers();
  SetFocus(list());
  for (wchar_t c : std::wstring(L"SERV")) SendMessageW(list(), WM_CHAR, c, 1);
  Pump(50);
  int item = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
  ASSERT_GE(item, 0);
  EXPECT_EQ(ItemText(item, 0), L"services.exe");
  EXPECT_EQ(rows().Selected(), item + 1);
}

TEST(FileSearchOnWin32, LongPathFormOfADrivePathGetsItsName) {
  Win32FileSearch files;
  EXPECT_EQ(files.FindFileName("\\\\?\\C:\\windows\\system32\\services.exe"), "services.exe");
  EXPECT_EQ(files.FindFileName("C:\\windows\\system32\\servic?s.exe"), "");
}

}  // namespace
}  // namespace kelvar::win32::test
