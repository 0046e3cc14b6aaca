// The real window offscreen: its texts, header click, the process menu by
// mouse and keyboard, the view's selection, and a steady list that costs no
// model notification and no panel write.
#include <gtest/gtest.h>

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
  FakeProgram p;
  p.system().StartRange(100, 100);
  p.Start();
  EXPECT_EQ(p.window().windowTitle(), QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(Tree(p.window().menuBar()->actions()),
            QStringLiteral("文件(&F)[刷新(&R) F5|-|Kelvar博客|-|退出(&X)]|"
                           "进程(&P)[结束进程(&E)|删除进程文件(&D)|-|文件属性(&R)...|所在目录(&F)...|-|"
                           "设置优先级(&P)[~实时(&R)|高(&H)|高于标准(&A)|标准(&N)|低于标准(&B)|低(&L)]]|"
                           "窗口(&W)[总在最上(&A) Ctrl+A]"));
  RowModel& model = p.window().Model();
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
}

// The view shows the store's order: a first click on the name sorts
// descending, one on the PID ascending.
TEST(Window, HeaderClickSortsThroughTheStore) {
  FakeProgram p;
  p.system().StartRange(100, 105);
  p.Start();
  QHeaderView* header = p.list().header();
  RowModel& model = p.window().Model();
  for (auto [column, first] : {std::pair{0, 105}, {1, 100}}) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 6, header->height() / 2));
    for (int r = 0; r < 6; ++r)
      EXPECT_EQ(model.data(model.index(r, 1), Qt::DisplayRole).toInt(), column ? first + r : first - r) << r;
  }
}

// A right press on a row, the Menu key, Shift+F10 and the keyboard's context
// menu event open the process menu for the selected row with its class
// ticked (a tick left from an earlier press goes); the keys open it at the
// row, and with no row selected not at all.
TEST(ProcessMenu, OpensForTheSelectedRowWithItsClassTicked) {
  FakeProgram p;
  p.system().StartRange(100, 105);
  p.system().proc.Get(103).priority = Priority::kBelowNormal;
  p.Start();
  MenuTree& menus = p.window().Menus();
  QMenu* menu = menus.Menu("process");
  const struct {
    const char* name;
    std::function<void()> open;
  } triggers[] = {
      {"right press",
       [&] {
         QTest::mouseClick(p.list().viewport(), Qt::RightButton, {},
                           p.list().visualRect(p.IndexOf(103, 1)).center());
       }},
      {"Menu", [&] { QTest::keyClick(&p.list(), Qt::Key_Menu); }},
      {"Shift+F10", [&] { QTest::keyClick(&p.list(), Qt::Key_F10, Qt::ShiftModifier); }},
      {"event",
       [&] {
         QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
         QApplication::sendEvent(&p.list(), &event);
       }},
  };
  for (const auto& trigger : triggers) {
    SCOPED_TRACE(trigger.name);
    const bool key = trigger.name != std::string("right press");
    p.form().OnItemClick(0);
    if (key) {
      trigger.open();
      EXPECT_FALSE(menu->isVisible());
      p.form().OnItemClick(p.RowOf(103));
    }
    menus.SetChecked("priority_class", 3, true);
    trigger.open();
    ASSERT_TRUE(PollUntil([&] { return menu->isVisible(); }));
    EXPECT_EQ(p.rows().Selected(), p.RowOf(103));
    EXPECT_EQ(p.list().selectionModel()->selectedRows(), QModelIndexList{p.IndexOf(103)});
    for (int i = 0; i < 6; ++i) EXPECT_EQ(menus.Action("priority_class", i)->isChecked(), i == 4) << i;
    const QPoint row_corner =
        p.list().viewport()->mapToGlobal(p.list().visualRect(p.IndexOf(103)).bottomLeft());
    if (key) {
      EXPECT_EQ(menu->pos(), row_corner);
    }
    menu->close();
  }
}

// The selected process ends, then the one on the row after it: the view
// moved its highlight down each time on its own, but it shows the store's
// selection, which is none, and has no current row either.
TEST(RemovedRows, TheViewShowsNoRowTheStoreDoesNotSelect) {
  FakeProgram p;
  p.system().StartRange(100, 105);
  p.Start();
  QTest::mouseClick(p.list().viewport(), Qt::LeftButton, {}, p.list().visualRect(p.IndexOf(101, 1)).center());
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
  EXPECT_EQ(CentredFrameOrigin({1024, 768}, {546, 540}), QPoint(239, 114));
  EXPECT_EQ(CentredFrameOrigin({1025, 769}, {546, 540}), QPoint(240, 115));
  EXPECT_EQ(CentredFrameOrigin({500, 400}, {546, 540}), QPoint(-23, -70));
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
