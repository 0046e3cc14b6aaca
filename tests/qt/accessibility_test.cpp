// What a screen reader finds in the window, through Qt's accessibility
// interfaces on the real widgets: the process list, the menu bar and the
// status bar by name, each part of the status bar by its text, and every row
// by its first cell, even a row whose executable is gone and so has no name.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "test_program.h"

namespace kelvar::qt::test {
namespace {

QString NameOf(QAccessibleInterface* node) { return node ? node->text(QAccessible::Name) : QString(); }
QString NameOf(QObject* object) { return NameOf(QAccessible::queryAccessibleInterface(object)); }

TEST(Accessibility, TheListTheStatusBarAndEveryRowHaveNames) {
  FakeProgram p;
  p.system().StartRange(100, 100);
  p.system().proc.Start(101, "/usr/bin/gone", 4096);  // no file: the row has no name
  p.Start();
  EXPECT_EQ(NameOf(&p.list()), QStringLiteral("进程列表"));
  EXPECT_EQ(NameOf(p.window().menuBar()), QStringLiteral("菜单栏"));
  QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(&p.list())->tableInterface();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(NameOf(table->cellAt(p.RowOf(100) - 1, 0)), QStringLiteral("prog100"));
  EXPECT_EQ(NameOf(table->cellAt(p.RowOf(101) - 1, 0)), QStringLiteral("/usr/bin/gone"));

  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(p.window().statusBar());
  EXPECT_EQ(NameOf(bar), QStringLiteral("状态栏"));
  QStringList parts;
  for (int i = 0; i < bar->childCount(); ++i) {
    QAccessibleInterface* part = bar->child(i);
    if (part && qobject_cast<QLabel*>(part->object())) parts << NameOf(part);
    EXPECT_FALSE(NameOf(part).isEmpty()) << i;
  }
  EXPECT_EQ(parts, (QStringList{"进程数：2", "已用内存：8.00 KB", "空白"}));
}

}  // namespace
}  // namespace kelvar::qt::test
