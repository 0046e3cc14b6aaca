// The native window under Wine: what start-up builds (columns, rows, status
// bar, font, size, layout), the shortcuts, sorting by a header click, the
// right press and its context menu, and always-on-top, each through the real
// controls and messages.
#include <algorithm>
#include <cstdio>

#include "actions/priority.h"
#include "modal_watcher.h"
#include "monitor/row_compare.h"
#include "platform/win32/wide_text.h"
#include "ui/form_definition.h"
#include "window_fixture.h"

namespace kelvar::win32::test {
namespace {

SIZE ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

SIZE OuterOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

TEST_F(WindowTest, StartUpShowsTheEightColumnsTheRowsAndTheTotals) {
  std::printf("start-up (create, load, first refresh, show): %lu ms\n", startup_ms_);
  RecordProperty("startup_ms", static_cast<int>(startup_ms_));
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
  ASSERT_GT(ItemCount(), 0);
  EXPECT_EQ(ItemCount(), rows().Count());
  EXPECT_EQ(Narrow(ItemText(0, 1)), rows().SubItem(1, cell::kPid));
  EXPECT_EQ(PanelText(1).rfind(L"进程数：", 0), 0u) << Narrow(PanelText(1));
  EXPECT_EQ(PanelText(2).rfind(L"已用内存：", 0), 0u) << Narrow(PanelText(2));
  EXPECT_GT(PanelText(2).size(), 5u);
  wchar_t caption[32] = {};
  GetWindowTextW(hwnd(), caption, 32);
  EXPECT_EQ(Narrow(caption), "Kelvar进程管理");
}

TEST_F(WindowTest, WindowHasItsSizeFontIconAndCentredPlace) {
  SIZE client = ClientOf(hwnd());
  EXPECT_EQ(client.cx, 536);
  EXPECT_EQ(client.cy, 472);
  SIZE outer = OuterOf(hwnd());
  RECT place{};
  GetWindowRect(hwnd(), &place);
  EXPECT_NEAR(place.left, (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2, 1);
  EXPECT_NEAR(place.top, (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2, 1);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list(), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(Narrow(font.lfFaceName), "宋体");
  EXPECT_EQ(font.lfHeight, -MulDiv(9, 96, 72));
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_NE(GetClassLongPtrW(hwnd(), GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrW(hwnd(), GCLP_HICONSM), 0);
}

TEST_F(WindowTest, LayoutRuleSizesPicMainByTheOuterWidthAndTheListInsideIt) {
  for (int width : {600, 800}) {
    SetWindowPos(hwnd(), nullptr, 0, 0, width, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump(20);
    SIZE outer = OuterOf(hwnd()), pic = OuterOf(window_->pic_main()), lst = OuterOf(list());
    SIZE client = ClientOf(hwnd()), bar = OuterOf(window_->status_bar());
    EXPECT_EQ(pic.cx, outer.cx);  // wider than the client area: the excess is clipped
    EXPECT_EQ(lst.cx, pic.cx - 8);
    EXPECT_EQ(lst.cy, pic.cy);
    EXPECT_EQ(pic.cy, client.cy - bar.cy);
  }
}

TEST_F(WindowTest, MenusFollowTheFormTableWithTheRealtimeItemGrey) {
  HMENU bar = GetMenu(hwnd());
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  wchar_t caption[64] = {};
  GetMenuStringW(bar, 1, caption, 64, MF_BYPOSITION);
  EXPECT_EQ(Narrow(caption), "进程(&P)");
  HMENU priorities = menus().SubMenu("mnuSetProClass");
  ASSERT_TRUE(priorities);
  EXPECT_EQ(GetMenuItemCount(priorities), 6);
  EXPECT_TRUE(GetMenuState(priorities, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(priorities, 1, MF_BYPOSITION) & MF_GRAYED);
  GetMenuStringW(priorities, 2, caption, 64, MF_BYPOSITION);
  EXPECT_EQ(Narrow(caption), "高于标准(&A)");
}

TEST_F(WindowTest, F5RefreshesAtOnce) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  std::vector<Pid> pids;
  ASSERT_TRUE(PollUntil([&] {
    return system_.proc.Snapshot(pids) && std::find(pids.begin(), pids.end(), child.pid()) != pids.end();
  }, 5000));
  EXPECT_EQ(form().Monitor().HaveItem(child.pid()), 0);
  PostMessageW(list(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_TRUE(PumpUntil([&] { return form().Monitor().HaveItem(child.pid()) != 0; }, 2000));
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

// A first click on "PID" sorts by number ascending, a second descending; the
// first click ever on the name column sorts descending.
TEST_F(WindowTest, HeaderClicksSortTheList) {
  auto column_sorted = [&](int column, int order) {
    for (int i = 1; i < ItemCount(); ++i) {
      int c = CompareCells(column, Narrow(ItemText(i - 1, column)), Narrow(ItemText(i, column)));
      if (order == 0 ? c > 0 : c < 0) return false;
    }
    return true;
  };
  StopTimers();
  ClickHeader(0);
  EXPECT_TRUE(rows().Sorted());
  EXPECT_EQ(rows().SortOrder(), 1);
  EXPECT_TRUE(column_sorted(0, 1));
  ClickHeader(1);
  EXPECT_EQ(rows().SortKey(), 1);
  EXPECT_EQ(rows().SortOrder(), 0);
  EXPECT_TRUE(column_sorted(1, 0));
  ClickHeader(1);
  EXPECT_EQ(rows().SortOrder(), 1);
  EXPECT_TRUE(column_sorted(1, 1));
  EXPECT_GT(std::stoi(ItemText(0, 1)), std::stoi(ItemText(ItemCount() - 1, 1)));
}

TEST_F(WindowTest, RightPressSelectsTheRowTicksItsClassAndOpensTheProcessMenu) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  SetPriorityClass(child.handle(), ABOVE_NORMAL_PRIORITY_CLASS);
  int row = RowOfChild(child);
  ASSERT_NE(row, 0);
  ASSERT_EQ(rows().SubItem(row, cell::kPriority), "较高");
  RECT r = ItemRect(row - 1);
  bool opened = false;
  bool ticks[6] = {};
  ModalWatcher watcher([&] {
    HWND menu = OpenPopupMenu();
    if (!menu) return false;
    opened = true;
    for (int i = 0; i < 6; ++i) ticks[i] = menus().Checked("mnuSetProClassSub", i);
    EndMenu();
    return true;
  });
  RightPress({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  Pump(50);
  EXPECT_TRUE(opened);
  EXPECT_EQ(rows().Selected(), row);
  EXPECT_EQ(SelectedItem(), row - 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ticks[i], i == 2) << i;
}

TEST_F(WindowTest, RightPressBelowTheRowsOpensNothingAndKeepsTheSelection) {
  StopTimers();
  ASSERT_GT(rows().Count(), 1);
  rows().Select(1);
  menus().SetChecked("mnuSetProClassSub", 4, true);
  RECT last = ItemRect(ItemCount() - 1);
  RECT client{};
  GetClientRect(list(), &client);
  if (last.bottom + 10 >= client.bottom) GTEST_SKIP() << "the list has no empty area below its rows";
  bool opened = false;
  ModalWatcher watcher([&] {
    if (!OpenPopupMenu()) return false;
    opened = true;
    EndMenu();
    return true;
  });
  RightPress({20, last.bottom + 5});
  Pump(100);
  EXPECT_FALSE(opened);
  EXPECT_EQ(rows().Selected(), 1);
  EXPECT_EQ(SelectedItem(), 0);
  EXPECT_TRUE(menus().Checked("mnuSetProClassSub", 4));
}

TEST_F(WindowTest, LeftClickOnARowSelectsItInTheStore) {
  StopTimers();
  ASSERT_GT(rows().Count(), 1);
  RECT r = ItemRect(1);
  POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SendMessageW(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(list(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  Pump(20);
  EXPECT_EQ(rows().Selected(), 2);
}

TEST_F(WindowTest, ChoosingAPriorityItemSetsTheClassOfTheSelectedProcess) {
  StopTimers();
  Child child;
  ASSERT_TRUE(child.started());
  int row = RowOfChild(child);
  ASSERT_NE(row, 0);
  rows().Select(row);
  Command("mnuSetProClassSub", 4);
  EXPECT_EQ(GetPriorityClass(child.handle()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
  Command("mnuRefurbish");
  EXPECT_EQ(rows().SubItem(form().Monitor().HaveItem(child.pid()), cell::kPriority), "较低");
}

// A process that is gone cannot be given a class: the error box, OK alone.
TEST_F(WindowTest, AFailedPriorityChangeShowsTheErrorBox) {
  StopTimers();
  int row = 0;
  Pid pid = 0;
  {
    Child child;
    ASSERT_TRUE(child.started());
    row = RowOfChild(child);
    pid = child.pid();
    ASSERT_NE(row, 0);
  }
  // Wine lets an ended process be opened for about half a second after its
  // last handle is closed.
  ASSERT_TRUE(PollUntil([&] {
    HANDLE h = OpenProcess(PROCESS_SET_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (h) CloseHandle(h);
    return h == nullptr;
  }, 5000));
  rows().Select(row);
  std::wstring text;
  bool ok_only = false;
  ModalWatcher watcher([&] {
    HWND box = OpenMessageBox(L"Kelvar进程管理");
    if (!box) return false;
    text = MessageBoxText(box);
    ok_only = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return true;
  });
  Command("mnuSetProClassSub", 1);
  EXPECT_EQ(Narrow(text), "无法为进程 kelvar_child.exe 设置优先级。");
  EXPECT_TRUE(ok_only);
}

// The list view asks the store for nothing it already shows: a cell written
// with its own text invalidates nothing, another text only its row.
TEST_F(WindowTest, AWrittenCellRepaintsOnlyItsRow) {
  StopTimers();
  ASSERT_GE(rows().Count(), 2);
  ListView_EnsureVisible(list(), 0, FALSE);
  UpdateWindow(list());
  RECT dirty{};
  rows().SetSubItem(2, cell::kMemory, std::string(rows().SubItem(2, cell::kMemory)));
  EXPECT_FALSE(GetUpdateRect(list(), &dirty, FALSE));
  rows().SetSubItem(2, cell::kMemory, "123456");
  ASSERT_TRUE(GetUpdateRect(list(), &dirty, FALSE));
  RECT item{};
  ListView_GetItemRect(list(), 1, &item, LVIR_BOUNDS);
  EXPECT_GE(dirty.top, item.top);
  EXPECT_LE(dirty.bottom, item.bottom);
  EXPECT_EQ(ItemText(1, 2), L"123456");
}

TEST_F(WindowTest, ExitClosesTheWindow) {
  HWND window = hwnd();
  Command("mnuExit");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 2000));
}

}  // namespace
}  // namespace kelvar::win32::test
