// MainForm on fake controls: start-up, layout, column clicks, the right press,
// always on top and the menu commands that need no process.
#include <gtest/gtest.h>

#include "fake/test_form.h"

namespace kelvar {
namespace {

using fake::TestForm;

// Centred, the timers started, the list filled, the remark file found beside the program.
TEST(Startup, CentresStartsTheTimersFillsTheListAndFindsTheRemarkFile) {
  for (auto [folder, remark] : {std::pair{"C:\\Tools", "C:\\Tools\\Comment\\system.ini"},
                                {"C:\\", "C:\\Comment\\system.ini"},
                                {"/opt/kelvar", "/opt/kelvar/Comment/system.ini"},
                                {"/", "/Comment/system.ini"}}) {
    TestForm t;
    t.dirs.program_folder = folder;
    t.Start(4, "C:\\a.exe");
    t.form.OnLoad();
    EXPECT_EQ(std::tuple(t.window.left, t.window.top, t.list.columns.size()), std::tuple(3600, 1785, 8u));
    EXPECT_EQ(t.timers.started, (std::vector<std::pair<int, int>>{{1, 200}, {2, 500}}));
    EXPECT_EQ(std::tuple(t.rows().Count(), t.form.Monitor().RemarkFile()), std::tuple(1, remark));
  }
}

TEST(Layout, ContainerFollowsTheOuterWidthAndTheListIsEightNarrower) {
  TestForm t;
  t.window.outer_w = 9000, t.window.host_h = 377;
  t.form.OnResize();
  EXPECT_EQ(std::tuple(t.window.host_w, t.window.list), std::tuple(600, std::vector<int>{0, 0, 592, 377}));
}

TEST(ColumnClick, NameFirstSortsDescendingOthersAscendingAndASecondClickTurns) {
  const std::tuple<std::vector<int>, Column, SortOrder> cases[] = {
      {{0}, Column::kName, SortOrder::kDescending},     {{0, 0}, Column::kName, SortOrder::kAscending},
      {{1}, Column::kPid, SortOrder::kAscending},       {{1, 1}, Column::kPid, SortOrder::kDescending},
      {{1, 2, 1}, Column::kPid, SortOrder::kAscending}, {{1, 8, -1}, Column::kPid, SortOrder::kAscending}};
  for (const auto& [clicks, key, order] : cases) {
    TestForm t;
    for (int column : clicks) t.form.OnColumnClick(column);
    EXPECT_EQ(std::tuple(t.rows().SortKey(), t.rows().Order(), t.rows().Sorted()),
              std::tuple(key, order, true))
        << testing::PrintToString(clicks);
  }
}

// A right press on a row selects it, ticks only its class and opens the
// Process menu; any other press, or one below the rows, changes nothing.
TEST(RightPress, SelectsTicksTheClassAndOpensTheProcessMenu) {
  const std::tuple<int, int, Priority, int> cases[] = {
      {kRightButton, 20, Priority::kRealtime, 0},    {kRightButton, 20, Priority::kHigh, 1},
      {kRightButton, 20, Priority::kAboveNormal, 2}, {kRightButton, 20, Priority::kNormal, 3},
      {kRightButton, 20, Priority::kBelowNormal, 4}, {kRightButton, 20, Priority::kIdle, 5},
      {kRightButton, 20, Priority::kUnknown, -1},    {kLeftButton, 20, Priority::kIdle, 3},
      {kMiddleButton, 20, Priority::kIdle, 3},       {kRightButton, 200, Priority::kIdle, 3}};
  for (const auto& [button, y, priority, ticked] : cases) {  // ticked -1: none
    SCOPED_TRACE(testing::Message() << button << " " << y << " " << static_cast<int>(priority));
    TestForm t;
    t.Start(1, "C:\\a.exe");
    t.Start(2, "C:\\b.exe").priority = priority;
    t.form.Refresh();
    t.list.rows = 2;
    t.menus.SetChecked("priority_class", 3, true);  // left from an earlier press
    t.form.OnMouseDown(button, 5, y);
    const bool acted = button == kRightButton && y < 32;
    EXPECT_EQ(t.rows().Selected(), acted ? 1 : kNoRow);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t.menus.Checked("priority_class", i), i == ticked) << i;
    EXPECT_EQ(t.menus.popups, acted ? std::vector<std::string>{"process"} : std::vector<std::string>{});
  }
}

TEST(Menus, RefreshTimersAlwaysOnTopAndExit) {
  TestForm t;
  t.form.OnLoad();
  t.Start(9, "C:\\late.exe");
  t.form.OnCommand(form::Command::kRefresh);
  EXPECT_NE(t.RowOf(9), kNoRow);
  t.procs.Exit(9);
  t.form.OnTick(form::Timer::kSweep);
  EXPECT_EQ(t.RowOf(9), kNoRow);
  t.Start(10, "C:\\next.exe");
  t.form.OnTick(form::Timer::kRefresh);
  EXPECT_NE(t.RowOf(10), kNoRow);
  t.form.OnCommand(form::Command::kOnTop);
  EXPECT_TRUE(t.menus.Checked("on_top", -1));
  t.form.OnCommand(form::Command::kOnTop);
  EXPECT_EQ(t.window.topmost_calls, (std::vector<bool>{true, false}));
  t.form.OnCommand(form::Command::kExit);
  EXPECT_TRUE(t.window.closed);
}

}  // namespace
}  // namespace kelvar
