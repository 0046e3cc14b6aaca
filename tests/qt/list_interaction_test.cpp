// The list under the pointer and the keyboard: a header click sorts (by the
// store, never by the view), a right press selects the row under it, ticks
// its priority class and opens the Process menu, the selection lives in the
// store, F5 refreshes at once.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "monitor/row_store.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

void ClickHeader(ProcessList& list, int column) {
  QHeaderView* header = list.header();
  QPoint at(header->sectionViewportPosition(column - 1) + 6, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QPoint RowCentre(ProcessList& list, int row) {
  return list.visualRect(list.model()->index(row - 1, 1)).center();
}

// The view shows the store's rows in the store's order.
void ExpectViewFollowsStore(RowModel& model, RowStore& rows) {
  ASSERT_EQ(model.rowCount(), rows.Count());
  for (int r = 1; r <= rows.Count(); ++r)
    ASSERT_EQ(model.data(model.index(r - 1, 1), Qt::DisplayRole).toString().toStdString(),
              rows.SubItem(r, cell::kPid));
}

std::vector<long> PidColumn(RowStore& rows) {
  std::vector<long> pids;
  for (int r = 1; r <= rows.Count(); ++r) pids.push_back(std::stol(rows.SubItem(r, cell::kPid)));
  return pids;
}

TEST(ListInteraction, HeaderClicksSortThroughTheStore) {
  RealProgram p;
  p.Start();
  ClickHeader(p.list(), 2);  // PID: ascending, by number
  EXPECT_TRUE(p.rows().Sorted());
  std::vector<long> pids = PidColumn(p.rows());
  EXPECT_TRUE(std::is_sorted(pids.begin(), pids.end()));
  ExpectViewFollowsStore(p.window().Model(), p.rows());
  ClickHeader(p.list(), 2);  // again: descending
  pids = PidColumn(p.rows());
  EXPECT_TRUE(std::is_sorted(pids.rbegin(), pids.rend()));
  ExpectViewFollowsStore(p.window().Model(), p.rows());
}

TEST(ListInteraction, FirstClickOnTheNameColumnSortsDescending) {
  FakeProgram p;
  for (auto [pid, path] : {std::pair{10, "/usr/bin/b"}, {11, "/usr/bin/a"}, {12, "/usr/bin/c"}}) {
    p.system().proc.Start(pid, path);
    p.system().files.Add(path, std::string(path).substr(9));
  }
  p.Start();
  ClickHeader(p.list(), 1);
  EXPECT_EQ(p.rows().SubItem(1, cell::kName), "c");
  EXPECT_EQ(p.rows().SubItem(3, cell::kName), "a");
  ExpectViewFollowsStore(p.window().Model(), p.rows());
}

TEST(ListInteraction, RightPressSelectsTicksTheClassAndOpensTheMenu) {
  RealProgram p;
  Child child("/usr/bin/sleep");
  ASSERT_EQ(::setpriority(PRIO_PROCESS, static_cast<id_t>(child.pid()), 5), 0);
  p.Start();
  ASSERT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) && p.rows().SubItem(p.RowOf(child.pid()), cell::kPriority) == "较低"; }));
  int row = p.RowOf(child.pid());
  p.list().scrollTo(p.list().model()->index(row - 1, 0));
  MenuTree& menus = p.window().Menus();
  menus.SetChecked("mnuSetProClassSub", 3, true);  // a tick left from an earlier press
  QTest::mouseClick(p.list().viewport(), Qt::RightButton, {}, RowCentre(p.list(), row));
  EXPECT_EQ(p.rows().Selected(), row);
  QModelIndexList shown = p.list().selectionModel()->selectedRows();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.first().row(), row - 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(menus.Checked("mnuSetProClassSub", i), i == 4) << i;
  EXPECT_TRUE(menus.Action("mnuSetProClassSub", 4)->isChecked());
  EXPECT_FALSE(menus.Action("mnuSetProClassSub", 3)->isChecked());
  QMenu* menu = menus.Menu("mnuProcess");
  EXPECT_TRUE(PollUntil([&] { return menu->isVisible(); }));
  menu->close();
}

TEST(ListInteraction, RightPressBelowTheRowsDoesNothing) {
  FakeProgram p;
  p.system().proc.Start(10, "/usr/bin/a");
  p.Start();
  p.rows().Select(1);
  QPoint below(20, p.list().viewport()->height() - 5);
  QTest::mouseClick(p.list().viewport(), Qt::RightButton, {}, below);
  EXPECT_EQ(p.rows().Selected(), 1);
  EXPECT_FALSE(p.window().Menus().Menu("mnuProcess")->isVisible());
}

TEST(ListInteraction, LeftPressSelectsInTheStore) {
  FakeProgram p;
  for (int pid : {10, 11, 12}) p.system().proc.Start(pid, "/usr/bin/p" + std::to_string(pid));
  p.Start();
  QTest::mouseClick(p.list().viewport(), Qt::LeftButton, {}, RowCentre(p.list(), 2));
  EXPECT_EQ(p.rows().Selected(), 2);
  QTest::keyClick(p.list().viewport(), Qt::Key_Down);
  EXPECT_EQ(p.rows().Selected(), 3);
  EXPECT_FALSE(p.window().Menus().Menu("mnuProcess")->isVisible());
}

TEST(ListInteraction, StoreSelectionShowsInTheView) {
  FakeProgram p;
  for (int pid : {10, 11, 12}) p.system().proc.Start(pid, "/usr/bin/p" + std::to_string(pid));
  p.Start();
  p.rows().Select(3);
  ASSERT_EQ(p.list().selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(p.list().selectionModel()->selectedRows().first().row(), 2);
  // The selected process ends: the sweep removes its row and nothing stays selected.
  p.system().proc.Vanish(12);
  p.form().Timer(2);
  EXPECT_EQ(p.rows().Count(), 2);
  EXPECT_EQ(p.rows().Selected(), 0);
  EXPECT_TRUE(p.list().selectionModel()->selectedRows().isEmpty());
}

TEST(ListInteraction, SelectionFollowsItsRowWhenTheStoreSorts) {
  FakeProgram p;
  for (int pid : {30, 20, 10}) p.system().proc.Start(pid, "/usr/bin/p" + std::to_string(pid));
  p.Start();
  p.rows().Select(1);  // PID 30
  ClickHeader(p.list(), 2);
  EXPECT_EQ(p.rows().Selected(), 3);
  ASSERT_EQ(p.list().selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(p.list().selectionModel()->selectedRows().first().row(), 2);
}

TEST(ListInteraction, ResortingDoesNotScrollTheList) {
  FakeProgram p;
  for (int pid = 100; pid < 300; ++pid) p.system().proc.Start(pid, "/usr/bin/p" + std::to_string(pid));
  p.Start();
  p.rows().Select(150);
  p.list().scrollToTop();
  int top = p.list().verticalScrollBar()->value();
  ClickHeader(p.list(), 2);
  ClickHeader(p.list(), 2);
  EXPECT_EQ(p.list().verticalScrollBar()->value(), top);
  EXPECT_EQ(p.list().selectionModel()->selectedRows().first().row(), p.rows().Selected() - 1);
}

TEST(ListInteraction, F5RefreshesAtOnce) {
  FakeProgram p;
  p.system().proc.Start(10, "/usr/bin/a");
  p.Start();
  p.system().proc.Start(11, "/usr/bin/b");
  QTest::keyClick(p.list().viewport(), Qt::Key_F5);
  EXPECT_EQ(p.rows().Count(), 2);
  EXPECT_EQ(p.window().Model().rowCount(), 2);
}

}  // namespace
}  // namespace kelvar::qt::test
