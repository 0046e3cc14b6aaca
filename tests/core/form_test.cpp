// frmMain on fake controls: start-up, the layout rule, the column-click and
// right-press rules, always on top, and the menu commands that need no
// process.
#include <gtest/gtest.h>

#include "fake/test_form.h"
#include "ui/form_definition.h"

namespace kelvar {
namespace {

using fake::TestForm;

TEST(Startup, CentresAddsColumnsAndFillsTheList) {
  TestForm t;
  t.Start(4, "C:\\a.exe");
  t.form.Form_Load();

  EXPECT_DOUBLE_EQ(t.window.left, 3600);
  EXPECT_DOUBLE_EQ(t.window.top, 1785);
  ASSERT_EQ(t.list.columns.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(t.list.columns[i].title, form::kColumns[i].title);
    EXPECT_EQ(t.list.columns[i].width, form::kColumns[i].width);
    EXPECT_EQ(t.list.columns[i].alignment, i == 2 ? Alignment::kRight : Alignment::kLeft);
  }
  EXPECT_EQ(t.list.columns[2].title, "内存(K)");
  EXPECT_EQ(t.timers.started, (std::vector<std::pair<int, int>>{{1, 200}, {2, 500}}));
  EXPECT_EQ(t.rows().Count(), 1);
  EXPECT_EQ(t.status.panels[1], "进程数：1");
}

TEST(Startup, RemarkFileBesideTheProgram) {
  struct Case { const char* folder; const char* remark; };
  for (Case c : {Case{"C:\\Tools", "C:\\Tools\\Comment\\system.ini"},
                 {"C:\\", "C:\\Comment\\system.ini"},
                 {"/opt/kelvar", "/opt/kelvar/Comment/system.ini"},
                 {"/", "/Comment/system.ini"}}) {
    SCOPED_TRACE(c.folder);
    TestForm t;
    t.dirs.program_folder = c.folder;
    t.form.Form_Load();
    EXPECT_EQ(t.form.Monitor().RemarkFile(), c.remark);
  }
}

TEST(Layout, ContainerFollowsTheOuterWidthAndTheListIsEightNarrower) {
  TestForm t;
  t.window.outer_w = 9000;
  t.window.pic_h = 377;
  t.form.Form_Resize();
  EXPECT_EQ(t.window.pic_w, 600);
  EXPECT_EQ(t.window.list.width, 592);
  EXPECT_EQ(t.window.list.height, 377);
  EXPECT_EQ(t.window.list.left, 0);
  EXPECT_EQ(t.window.list.top, 0);
}

TEST(ColumnClick, DirectionsFollowTheClicks) {
  struct Case {
    const char* name;
    std::vector<int> clicks;
    int key, order;
  };
  for (const Case& c : {Case{"name first click sorts descending", {1}, 0, 1},
                        Case{"name twice ascending", {1, 1}, 0, 0},
                        Case{"PID ascending", {2}, 1, 0},
                        Case{"PID twice descending", {2, 2}, 1, 1},
                        Case{"PID, memory, PID starts afresh", {2, 3, 2}, 1, 0}}) {
    SCOPED_TRACE(c.name);
    TestForm t;
    for (int column : c.clicks) t.form.List1_ColumnClick(column);
    EXPECT_EQ(t.rows().SortKey(), c.key);
    EXPECT_EQ(t.rows().SortOrder(), c.order);
    EXPECT_TRUE(t.rows().Sorted());
  }
}

TEST(ColumnClick, PidColumnSortsByNumber) {
  TestForm t;
  for (Pid pid : {1000, 4, 12}) t.Start(pid, "C:\\a.exe");
  t.form.ListProcess();
  t.form.List1_ColumnClick(2);
  std::vector<std::string> pids;
  for (int i = 1; i <= 3; ++i) pids.push_back(t.rows().SubItem(i, cell::kPid));
  EXPECT_EQ(pids, (std::vector<std::string>{"4", "12", "1000"}));
}

TEST(RightPress, SelectsTicksAndOpensTheProcessMenu) {
  struct Case {
    std::uint32_t priority_class;
    std::vector<int> ticked;
  };
  for (const Case& c : {Case{0x100, {0}}, {0x80, {1}}, {0x8000, {2}}, {0x20, {3}}, {0x4000, {4}},
                        {0x40, {5}}, {0x1234, {}}}) {
    SCOPED_TRACE(c.priority_class);
    TestForm t;
    t.Start(1, "C:\\a.exe");
    t.Start(2, "C:\\b.exe").priority_class = c.priority_class;
    t.form.ListProcess();
    t.list.rows = 2;
    t.menus.SetChecked("mnuSetProClassSub", 3, true);  // left from an earlier press

    t.form.List1_MouseDown(kRightButton, 5, 20);  // the second row

    EXPECT_EQ(t.rows().Selected(), 2);
    EXPECT_EQ(t.menus.TickedPriorities(), c.ticked);
    EXPECT_EQ(t.menus.popups, std::vector<std::string>{"mnuProcess"});
  }
}

TEST(RightPress, OtherButtonsAndEmptySpaceDoNothing) {
  struct Case { int button, y; };
  for (Case c : {Case{kLeftButton, 5}, {kMiddleButton, 5}, {kRightButton, 200}}) {
    SCOPED_TRACE(c.button);
    TestForm t;
    t.Start(1, "C:\\a.exe");
    t.form.ListProcess();
    t.list.rows = 1;
    t.menus.SetChecked("mnuSetProClassSub", 4, true);
    t.form.List1_MouseDown(c.button, 5, c.y);
    EXPECT_EQ(t.rows().Selected(), 0);
    EXPECT_EQ(t.menus.TickedPriorities(), std::vector<int>{4});
    EXPECT_TRUE(t.menus.popups.empty());
  }
}

TEST(AlwaysOnTop, ToggleTwiceReturnsToNormal) {
  TestForm t;
  t.form.MenuClick("mnuOnTop");
  EXPECT_TRUE(t.menus.Checked("mnuOnTop", -1));
  t.form.MenuClick("mnuOnTop");
  EXPECT_FALSE(t.menus.Checked("mnuOnTop", -1));
  EXPECT_EQ(t.window.topmost_calls, (std::vector<bool>{true, false}));

  struct Case { int flag; bool topmost; };
  for (Case c : {Case{-1, true}, {0, false}, {1, false}}) {
    fake::FakeWindow w;
    SetTopMost(w, c.flag);
    EXPECT_EQ(w.topmost_calls, std::vector<bool>{c.topmost}) << c.flag;
  }
}

TEST(Menus, RefreshExitAndTimers) {
  TestForm t;
  t.form.Form_Load();
  t.Start(9, "C:\\late.exe");
  t.form.MenuClick("mnuRefurbish");
  EXPECT_NE(t.RowOf(9), 0);

  t.procs.Exit(9);
  t.form.Timer(form::kTimer2);
  EXPECT_EQ(t.RowOf(9), 0);
  t.Start(10, "C:\\next.exe");
  t.form.Timer(form::kTimer1);
  EXPECT_NE(t.RowOf(10), 0);

  t.form.MenuClick("mnuExit");
  EXPECT_TRUE(t.window.closed);
}

}  // namespace
}  // namespace kelvar
