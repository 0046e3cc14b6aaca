// The native window under Wine with its real controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/win32/main_window.h"
#include "platform/win32/wide_text.h"
#include "test_support.h"

namespace kelvar::win32::test {
namespace {

// A thread timer keeps firing inside the context menu's modal loop, so a
// test can read and close the menu without a second thread.
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
  bool Pump(
      int ms, const std::function<bool()>& done = [] { return false; }) {
    return PumpUntil(done, ms, hwnd(), window_->menus().accelerators());
  }
  // Only what the test does changes the list from now on.
  void StopTimers() {
    KillTimer(hwnd(), 1);
    KillTimer(hwnd(), 2);
  }

  Win32System system_;
  std::unique_ptr<MainWindow> window_ = std::make_unique<MainWindow>(system_);
};

// Sizes are given for 96 DPI: as started, then WM_DPICHANGED to 144 and back
// rescales font, columns (the memory column right-aligned) and panels, and
// the window takes the suggested rect.
TEST_F(WindowTest, SizesFollowTheDpi) {
  const std::string columns96 =
      "进程名称/120 PID/45 内存(K)/55R 种类/36 级别/36 优先/36 进程路径/400 备注/500 ";
  const struct {
    UINT dpi;  // 0: as started
    std::string columns;
    std::vector<int> panel_edges;
    int font_height;
  } table[] = {
      {0, columns96, {96, 246, -1}, -12},
      {144,
       "进程名称/180 PID/68 内存(K)/83R 种类/54 级别/54 优先/54 进程路径/600 备注/750 ",
       {144, 369, -1},
       -18},
      {96, columns96, {96, 246, -1}, -12},
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
    std::string columns;  // "title/width", "R" when right-aligned
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
    EXPECT_EQ(columns, at.columns);
    std::vector<int> edges(3);
    SendMessageW(window_->status_bar(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges.data()));
    EXPECT_EQ(edges, at.panel_edges);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, at.font_height);
  }
}

// F5 lists a new child; the row selected in the control is the program's;
// the Menu key and Shift+F10 (WM_CONTEXTMENU at (-1, -1)) open the process
// menu at that row with its class ticked.
TEST_F(WindowTest, KeyboardOpensTheProcessMenuForTheSelectedRow) {
  StopTimers();
  Child child;
  SetPriorityClass(child.handle(), BELOW_NORMAL_PRIORITY_CLASS);
  std::vector<Pid> pids;
  ASSERT_TRUE(PumpUntil(
      [&] { return system_.processes.Snapshot(pids) && std::ranges::count(pids, child.pid()); }, 5000));
  auto row = [&] { return window_->form()->Monitor().RowOf(child.pid()); };
  EXPECT_EQ(row(), 0);
  PostMessageW(list(), WM_KEYDOWN, VK_F5, 0);
  ASSERT_TRUE(Pump(2000, [&] { return row() != 0; }));
  ListView_SetItemState(list(), row() - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list(), row() - 1, FALSE);
  EXPECT_EQ(rows().Selected(), row());

  std::string ticks;
  RECT shown{};
  std::function<void()> watch = [&] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!ticks.empty() || !menu || !IsWindowVisible(menu)) return;
    for (int i = 0; i < 6; ++i) ticks += window_->menus().Checked("priority_class", i) ? "x" : "-";
    GetWindowRect(menu, &shown);
    EndMenu();
  };
  g_watch = &watch;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, &Watch);
  SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
  Pump(50);
  KillTimer(nullptr, timer);
  g_watch = nullptr;
  EXPECT_EQ(ticks, "----x-");
  RECT cell{};
  ListView_GetItemRect(list(), row() - 1, &cell, LVIR_LABEL);
  POINT corner{cell.left, cell.bottom};
  ClientToScreen(list(), &corner);
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_TRUE(shown.top == corner.y || shown.bottom == corner.y) << shown.top << " " << corner.y;
}

// As started the control shows every row and is named by its window text;
// typing a name's start selects its row (the owner-data list asks the
// program); when the selected row and the next go, none shows highlighted
// though the control keeps its states by index.
TEST_F(WindowTest, StartUpListIsNamedFoundByTypingAndForgetsRemovedRows) {
  StopTimers();
  EXPECT_EQ(ListView_GetItemCount(list()), rows().Count());
  wchar_t text[64] = {};
  GetWindowTextW(list(), text, 64);
  EXPECT_EQ(Narrow(text), "进程列表");
  SetFocus(list());
  for (wchar_t c : std::wstring(L"SERV")) SendMessageW(list(), WM_CHAR, c, 1);
  Pump(50);
  const int item = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
  ListView_GetItemText(list(), item, 0, text, 64);
  EXPECT_EQ(Narrow(text), "services.exe");
  ASSERT_EQ(rows().Selected(), item + 1);
  ASSERT_LT(item + 1, rows().Count());
  ListView_SetItemState(list(), item, LVIS_FOCUSED, LVIS_FOCUSED);
  for (int i = 0; i < 2; ++i) {
    rows().Remove(item + 1);
    EXPECT_EQ(rows().Selected(), 0);
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), -1) << i;
    EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), -1) << i;
  }
}

// A program whose file was renamed away before its row was made shows no
// name, but a screen reader asking the list for the row's text hears its path.
TEST_F(WindowTest, ARowWithoutANameIsSpokenByItsPath) {
  StopTimers();
  const std::wstring exe = TestFolder() + L"\\nameless" + std::to_wstring(GetTickCount()) + L".exe";
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\kelvar_child.exe").c_str(), exe.c_str(), FALSE));
  {
    Child child(0, exe);
    ASSERT_TRUE(MoveFileW(exe.c_str(), (exe + L".old").c_str()));
    ASSERT_TRUE(Pump(5000, [&] {
      window_->form()->ListProcess();
      return rows().RowOf(child.pid()) != 0;
    }));
    const int row = rows().RowOf(child.pid());
    EXPECT_EQ(rows().Text(row, column::kName), "");
    wchar_t text[MAX_PATH] = {};
    ListView_GetItemText(list(), row - 1, 0, text, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(text, exe.c_str()), 0) << Narrow(text);
  }
  DeleteFileW((exe + L".old").c_str());
}

}  // namespace
}  // namespace kelvar::win32::test
