// The native window under Wine with its real controls: DPI sizes, F5,
// Ctrl+A, header clicks, the process menu by mouse and keyboard, the
// control's selection, type-ahead and the list's accessible name.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/win32/main_window.h"
#include "platform/win32/wide_text.h"
#include "test_support.h"

namespace kelvar::win32::test {
namespace {

// A thread timer keeps firing inside a modal loop (the context menu), so a
// test can read and close what opened without a second thread.
std::function<void()>* g_watch = nullptr;
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  if (g_watch) (*g_watch)();
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr)));
    window_->Show(SW_SHOWNORMAL);
    Pump(50);
  }
  void TearDown() override {
    window_.reset();
    PumpUntil([] { return false; }, 50);
  }
  HWND hwnd() const { return window_->hwnd(); }
  HWND list() const { return window_->list(); }
  RowStore& rows() const { return window_->form()->Rows(); }
  int RowOf(Pid pid) const { return window_->form()->Monitor().RowOf(pid); }
  Win32Menus& menus() const { return window_->menus(); }
  bool Pump(
      int ms, const std::function<bool()>& done = [] { return false; }) {
    return PumpUntil(done, ms, hwnd(), menus().accelerators());
  }
  // Stops the timers: only what the test does changes the list from now on.
  void StopTimers() {
    KillTimer(hwnd(), 1);
    KillTimer(hwnd(), 2);
  }
  // With the timers stopped, a child the process table already holds.
  std::unique_ptr<Child> StillListWithChild() {
    StopTimers();
    auto child = std::make_unique<Child>();
    EXPECT_TRUE(PollUntil(
        [&] {
          std::vector<Pid> pids;
          return system_.processes.Snapshot(pids) && std::count(pids.begin(), pids.end(), child->pid());
        },
        5000));
    return child;
  }
  void Command(std::string_view name) {
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(menus().CommandId(name), 0), 0);
  }
  int ItemCount() const { return ListView_GetItemCount(list()); }
  std::string ItemText(int item, int column) const {  // 0-based, as the control numbers them
    wchar_t buf[512] = {};
    ListView_GetItemText(list(), item, column, buf, 512);
    return Narrow(buf);
  }
  // The columns as "title/width" with "R" when right-aligned.
  std::string Columns() const {
    std::string columns;
    for (int i = 0; i < Header_GetItemCount(ListView_GetHeader(list())); ++i) {
      wchar_t title[64] = {};
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      col.pszText = title;
      col.cchTextMax = 64;
      ListView_GetColumn(list(), i, &col);
      columns += Narrow(title) + "/" + std::to_string(col.cx) +
                 ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? "R " : " ");
    }
    return columns;
  }
  // Sends what opens the process menu; the class ticks ("x" or "-") and the
  // menu's rect while it is open.
  std::string OpenProcessMenu(const std::function<void()>& send, RECT* shown) {
    std::string ticks;
    std::function<void()> watch = [&] {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (!ticks.empty() || !menu || !IsWindowVisible(menu)) return;
      for (int i = 0; i < 6; ++i) ticks += menus().Checked("priority_class", i) ? "x" : "-";
      GetWindowRect(menu, shown);
      EndMenu();
    };
    g_watch = &watch;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, &Watch);
    send();
    Pump(50);
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    return ticks;
  }

  Win32System system_;
  std::unique_ptr<MainWindow> window_ = std::make_unique<MainWindow>(system_);
};

// The form's sizes are given for 96 DPI: as started, then WM_DPICHANGED to
// 144 and back rescales the font, the columns and the panels, and the window
// takes the suggested rect.
TEST_F(WindowTest, SizesFollowTheDpi) {
  const struct {
    UINT dpi;  // 0: as started
    const char* columns;
    std::vector<int> panel_edges;
    int font_height;
  } table[] = {
      {0,
       "进程名称/120 PID/45 内存(K)/55R 种类/36 级别/36 优先/36 进程路径/400 备注/500 ",
       {96, 246, -1},
       -12},
      {144,
       "进程名称/180 PID/68 内存(K)/83R 种类/54 级别/54 优先/54 进程路径/600 备注/750 ",
       {144, 369, -1},
       -18},
      {96,
       "进程名称/120 PID/45 内存(K)/55R 种类/36 级别/36 优先/36 进程路径/400 备注/500 ",
       {96, 246, -1},
       -12},
  };
  for (const auto& at : table) {
    SCOPED_TRACE(at.dpi);
    if (at.dpi) {
      RECT suggested{10, 20, 10 + static_cast<LONG>(at.dpi) * 6, 20 + static_cast<LONG>(at.dpi) * 5}, now{};
      SendMessageW(hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(at.dpi, at.dpi),
                   reinterpret_cast<LPARAM>(&suggested));
      GetWindowRect(hwnd(), &now);
      EXPECT_TRUE(EqualRect(&now, &suggested));
    }
    EXPECT_EQ(Columns(), at.columns);
    std::vector<int> edges(3);
    SendMessageW(window_->status_bar(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges.data()));
    EXPECT_EQ(edges, at.panel_edges);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, at.font_height);
  }
}

// F5 refreshes the list and the status bar at once; Ctrl+A turns
// always-on-top on with its tick, the menu item turns it off.
TEST_F(WindowTest, AcceleratorsRefreshAndToggleAlwaysOnTop) {
  auto child = StillListWithChild();
  EXPECT_EQ(RowOf(child->pid()), 0);
  PostMessageW(list(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_TRUE(Pump(2000, [&] { return RowOf(child->pid()) != 0; }));
  EXPECT_EQ(ItemCount(), rows().Count());
  EXPECT_EQ(ItemText(RowOf(child->pid()) - 1, 1), std::to_string(child->pid()));
  wchar_t panels[2][256] = {};
  for (int i = 0; i < 2; ++i)
    SendMessageW(window_->status_bar(), SB_GETTEXTW, i, reinterpret_cast<LPARAM>(panels[i]));
  EXPECT_EQ(Narrow(panels[0]).rfind("进程数：", 0), 0u) << Narrow(panels[0]);
  EXPECT_EQ(Narrow(panels[1]).rfind("已用内存：", 0), 0u) << Narrow(panels[1]);

  auto topmost = [&] { return (GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(list(), WM_KEYDOWN, 'A', 0);
  Pump(50);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(menus().Checked("on_top"));
  EXPECT_TRUE(topmost());
  Command("on_top");
  EXPECT_FALSE(menus().Checked("on_top"));
  EXPECT_FALSE(topmost());
}

// A press and release on the header item (LVN_COLUMNCLICK): the first click
// ever on the name sorts descending; PID sorts by number, ascending first.
TEST_F(WindowTest, HeaderClicksSortTheList) {
  StopTimers();
  HWND header = ListView_GetHeader(list());
  for (auto [column, order] : {std::pair{0, 1}, {1, 0}, {1, 1}}) {
    RECT r{};
    Header_GetItemRect(header, column, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(rows().SortKey(), column);
    EXPECT_EQ(rows().SortOrder(), order);
  }
  std::vector<int> pids;
  for (int i = 0; i < ItemCount(); ++i) pids.push_back(std::stoi(ItemText(i, 1)));
  EXPECT_TRUE(std::is_sorted(pids.rbegin(), pids.rend()));
}

// A right press selects the row under it and opens the process menu with its
// class ticked; the Menu key and Shift+F10 (WM_CONTEXTMENU at (-1, -1)) open
// it for the selected row, at that row.
TEST_F(WindowTest, TheProcessMenuOpensForTheRowWithItsClassTicked) {
  auto child = StillListWithChild();
  SetPriorityClass(child->handle(), ABOVE_NORMAL_PRIORITY_CLASS);
  Command("refresh");
  int row = RowOf(child->pid());
  ASSERT_NE(row, 0);
  ASSERT_EQ(rows().Text(row, column::kPriority), "较高");
  ListView_EnsureVisible(list(), row - 1, FALSE);
  RECT r{}, shown{};
  ListView_GetItemRect(list(), row - 1, &r, LVIR_BOUNDS);
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_EQ(OpenProcessMenu(
                [&] {
                  SendMessageW(list(), WM_RBUTTONDOWN, MK_RBUTTON, at);
                  SendMessageW(list(), WM_RBUTTONUP, 0, at);
                },
                &shown),
            "--x---");
  EXPECT_EQ(rows().Selected(), row);
  EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), row - 1);

  SetPriorityClass(child->handle(), BELOW_NORMAL_PRIORITY_CLASS);
  Command("refresh");
  ASSERT_EQ(rows().Selected(), row);
  EXPECT_EQ(OpenProcessMenu(
                [&] { SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1); }, &shown),
            "----x-");
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
  EXPECT_EQ(ItemText(item, 0), "services.exe");
  EXPECT_EQ(rows().Selected(), item + 1);
}

// A control without a label is named by its window text; the list's is its
// name.  (The status bar's window text is its first panel: it is named by an
// annotation, which Wine does not implement.)
TEST_F(WindowTest, TheListIsNamedForScreenReaders) {
  wchar_t name[64] = {};
  GetWindowTextW(list(), name, 64);
  EXPECT_EQ(Narrow(name), "进程列表");
}

TEST(FileSearchOnWin32, LongPathFormOfADrivePathGetsItsName) {
  Win32FileSearch files;
  EXPECT_EQ(files.FindFileName("\\\\?\\C:\\windows\\system32\\services.exe"), "services.exe");
  EXPECT_EQ(files.FindFileName("C:\\windows\\system32\\servic?s.exe"), "");
}

}  // namespace
}  // namespace kelvar::win32::test
