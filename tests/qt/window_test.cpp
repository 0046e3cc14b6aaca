// The real window offscreen: its texts, header click, right press, and a
// steady list that costs no model notification and no panel write.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

#include "monitor/row_store.h"
#include "platform/qt/properties_dialog.h"
#include "test_program.h"
#include "ui/form_definition.h"

namespace kelvar::qt::test {
namespace {

// A menu tree as text: items split by "|", "~" before a grey item, the
// shortcut after a space, a submenu in brackets.
QString Tree(const QList<QAction*>& actions) {
  QStringList items;
  for (QAction* a : actions) {
    QString item = a->isSeparator() ? QStringLiteral("-") : (a->isEnabled() ? "" : "~") + a->text();
    if (!a->shortcut().isEmpty()) item += " " + a->shortcut().toString();
    if (a->menu()) item += "[" + Tree(a->menu()->actions()) + "]";
    items << item;
  }
  return items.join("|");
}

TEST(Window, TextsAndSizes) {
  RealProgram p;
  p.Start();
  EXPECT_EQ(p.window().windowTitle(), QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(Tree(p.window().menuBar()->actions()),
            QStringLiteral("文件(&F)[刷新(&R) F5|-|Kelvar博客|-|退出(&X)]|"
                           "进程(&P)[结束进程(&E)|删除进程文件(&D)|-|文件属性(&R)...|所在目录(&F)...|-|"
                           "设置优先级(&P)[~实时(&R)|高(&H)|高于标准(&A)|标准(&N)|低于标准(&B)|低(&L)]]|"
                           "窗口(&W)[总在最上(&A) Ctrl+A]"));
  RowModel& model = p.window().Model();
  ASSERT_GT(model.rowCount(), 0);
  QString columns;
  for (int c = 0; c < model.columnCount(); ++c) {
    auto head = model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    auto cell = model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
    columns += model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + "/" +
               QString::number(p.list().header()->sectionSize(c)) + (head & Qt::AlignRight ? "R" : "") +
               (cell & Qt::AlignRight ? "R " : " ");
  }
  EXPECT_EQ(columns, QStringLiteral(
                         "进程名称/120 PID/45 内存(K)/55RR 种类/36 级别/36 优先/36 进程路径/400 备注/500 "));
  StatusPanels& status = p.window().Status();
  EXPECT_EQ(status.Panel(1)->width(), 96);
  EXPECT_EQ(status.Panel(2)->width(), 150);
  EXPECT_GT(status.Panel(3)->width(), 200);  // takes the rest of the bar
  EXPECT_TRUE(status.Panel(1)->text().startsWith(QStringLiteral("进程数：")));
  EXPECT_TRUE(status.Panel(2)->text().startsWith(QStringLiteral("已用内存：")));
  EXPECT_TRUE(status.Panel(3)->text().isEmpty());
}

TEST(Window, HeaderClickSortsThroughTheStore) {
  RealProgram p;
  p.Start();
  QHeaderView* header = p.list().header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(1) + 6, header->height() / 2));  // PID
  std::vector<long> pids;
  RowModel& model = p.window().Model();
  for (int r = 0; r < model.rowCount(); ++r)
    pids.push_back(model.data(model.index(r, 1), Qt::DisplayRole).toString().toLong());
  EXPECT_EQ(static_cast<int>(pids.size()), p.rows().Count());
  EXPECT_TRUE(std::is_sorted(pids.begin(), pids.end()));
}

TEST(Window, RightPressSelectsTicksTheClassAndOpensTheMenu) {
  RealProgram p;
  p.Start();
  Child child("/usr/bin/sleep");
  ASSERT_EQ(::setpriority(PRIO_PROCESS, static_cast<id_t>(child.pid()), 5), 0);
  ASSERT_TRUE(PollUntil([&] {
    return p.RowOf(child.pid()) && p.rows().Text(p.RowOf(child.pid()), column::kPriority) == "较低";
  }));
  QModelIndex index = p.list().model()->index(p.RowOf(child.pid()) - 1, 1);
  p.list().scrollTo(index);
  MenuTree& menus = p.window().Menus();
  menus.SetChecked("priority_class", 3, true);  // a tick left from an earlier press
  QTest::mouseClick(p.list().viewport(), Qt::RightButton, {}, p.list().visualRect(index).center());
  EXPECT_EQ(p.rows().Selected(), index.row() + 1);
  EXPECT_EQ(p.list().selectionModel()->selectedRows(), QModelIndexList{index.siblingAtColumn(0)});
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(menus.Checked("priority_class", i), i == 4) << i;
    EXPECT_EQ(menus.Action("priority_class", i)->isChecked(), i == 4) << i;
  }
  QMenu* menu = menus.Menu("process");
  EXPECT_TRUE(PollUntil([&] { return menu->isVisible(); }));
  menu->close();
}

// The Menu key and Shift+F10, as keys and as the keyboard's context menu
// event, open the right press's menu for the selected row, at that row.
TEST(KeyboardMenu, OpensTheProcessMenuAtTheSelectedRowWithItsClassTicked) {
  FakeProgram p;
  for (int pid = 100; pid < 106; ++pid)
    p.system().proc.Start(pid, "/usr/bin/prog" + std::to_string(pid), 4096).priority =
        pid == 103 ? Priority::kBelowNormal : Priority::kNormal;
  p.Start();
  MenuTree& menus = p.window().Menus();
  QMenu* menu = menus.Menu("process");
  const std::function<void()> triggers[] = {
      [&] { QTest::keyClick(&p.list(), Qt::Key_Menu); },
      [&] { QTest::keyClick(&p.list(), Qt::Key_F10, Qt::ShiftModifier); },
      [&] {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        QApplication::sendEvent(&p.list(), &event);
      },
  };
  int trigger = 0;
  for (const auto& open : triggers) {
    SCOPED_TRACE(trigger++);
    p.form().OnItemClick(0);
    open();
    EXPECT_FALSE(menu->isVisible());  // no selected row, no menu
    int row = p.RowOf(103);
    p.form().OnItemClick(row);
    menus.SetChecked("priority_class", 3, true);
    open();
    ASSERT_TRUE(PollUntil([&] { return menu->isVisible(); }));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(menus.Action("priority_class", i)->isChecked(), i == 4) << i;
    QRect cell = p.list().visualRect(p.list().model()->index(row - 1, 0));
    EXPECT_EQ(menu->pos(), p.list().viewport()->mapToGlobal(cell.bottomLeft()));
    menu->close();
  }
}

// The selected process ends, then the one on the row after it: the view
// moved its highlight down each time on its own, but it shows the store's
// selection, which is none, and has no current row either.
TEST(RemovedRows, TheViewShowsNoRowTheStoreDoesNotSelect) {
  FakeProgram p;
  for (int pid = 100; pid < 106; ++pid)
    p.system().proc.Start(pid, "/usr/bin/prog" + std::to_string(pid), 4096);
  p.Start();
  QTest::mouseClick(p.list().viewport(), Qt::LeftButton, {},
                    p.list().visualRect(p.list().model()->index(p.RowOf(101) - 1, 1)).center());
  ASSERT_EQ(p.rows().Selected(), p.RowOf(101));
  for (int pid : {101, 102}) {
    p.system().proc.Exit(pid);
    p.form().Timer(form::kTimer2);
    ASSERT_EQ(p.RowOf(pid), 0);
    EXPECT_EQ(p.rows().Selected(), 0);
    EXPECT_TRUE(p.list().selectionModel()->selectedRows().isEmpty()) << pid;
    EXPECT_FALSE(p.list().currentIndex().isValid()) << pid;
  }
}

// The window is centred again once a window manager has given it a frame:
// the frame, not the client area, is centred, rounded as the form rounds.
TEST(Centring, TheFrameIsCentredOnTheScreen) {
  struct Case {
    QSize screen, frame;
    QPoint origin;
  } cases[] = {
      {{1024, 768}, {546, 540}, {239, 114}},
      {{1025, 769}, {546, 540}, {240, 115}},
      {{500, 400}, {546, 540}, {-23, -70}},
  };
  for (const Case& c : cases) EXPECT_EQ(CentredFrameOrigin(c.screen, c.frame), c.origin) << c.screen.width();
}

// The program's own properties window opens for a file that is there and,
// as the shell's sheet, shows nothing for one that is not.
TEST(PropertiesDialog, OpensOnlyForAFileThatIsThere) {
  QWidget parent;
  QDialog* shown = ShowPropertiesDialog(&parent, "/usr/bin/sleep");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle(), QStringLiteral("sleep 属性"));
  EXPECT_TRUE(shown->isVisible());
  shown->close();
  EXPECT_EQ(ShowPropertiesDialog(&parent, "/usr/bin/kelvar-no-such-file"), nullptr);
  for (QDialog* dialog : parent.findChildren<QDialog*>()) EXPECT_FALSE(dialog->isVisible());
}

// On the fake process table, since a live system never holds still; the
// window, model and status bar are the real ones, and so are the timers.
TEST(SteadyList, PassesAndSweepsNotifyNothing) {
  FakeProgram p;
  for (int pid = 100; pid < 400; ++pid)
    p.system().proc.Start(pid, "/usr/bin/prog" + std::to_string(pid % 37), 4096 * (pid % 50 + 1));
  p.Start();
  p.form().Timer(1);
  RowModel* m = &p.window().Model();
  QSignalSpy spies[] = {{m, &QAbstractItemModel::rowsInserted}, {m, &QAbstractItemModel::rowsRemoved},
                        {m, &QAbstractItemModel::dataChanged},  {m, &QAbstractItemModel::layoutChanged},
                        {m, &QAbstractItemModel::modelReset},   {m, &QAbstractItemModel::headerDataChanged}};
  const int writes = p.window().Status().Writes();
  for (int i = 0; i < 20; ++i) p.form().Timer(1), p.form().Timer(2);
  QTest::qWait(1200);
  for (const QSignalSpy& spy : spies) EXPECT_EQ(spy.count(), 0) << spy.signal().toStdString();
  EXPECT_EQ(p.window().Status().Writes(), writes);
  // One changed figure is one notification and one write (the memory panel).
  p.system().proc.Get(150).working_set += 1 << 20;
  p.form().Timer(1);
  EXPECT_EQ(spies[2].count(), 1);
  EXPECT_EQ(p.window().Status().Writes(), writes + 1);
}

}  // namespace
}  // namespace kelvar::qt::test
