// The window as a person sees it, offscreen: caption, font, client size,
// columns, the layout rule, status panels, menus with their access keys and
// shortcuts, always on top.
#include <gtest/gtest.h>

#include <QAction>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include "test_program.h"
#include "ui/form_definition.h"

namespace kelvar::qt::test {
namespace {

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { p.Start(); }
  RealProgram p;
};

TEST_F(WindowTest, CaptionFontAndClientSize) {
  EXPECT_EQ(p.window().windowTitle(), QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(p.window().font().pointSize(), 9);
  QFontInfo used(p.list().font());
  EXPECT_TRUE(used.family().contains(QStringLiteral("CJK")) || used.family().contains(QStringLiteral("SimSun")))
      << used.family().toStdString();
  QRect client = p.window().centralWidget()->geometry();
  QWidget* bar = p.window().statusBar();
  EXPECT_EQ(client.width(), 536);
  EXPECT_EQ(client.height() + bar->height(), 472);
}

TEST_F(WindowTest, ColumnsTitlesWidthsAndAlignment) {
  RowModel& model = p.window().Model();
  ASSERT_EQ(model.columnCount(), 8);
  for (int c = 0; c < 8; ++c) {
    const form::Column& want = form::kColumns[static_cast<std::size_t>(c)];
    EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), Utf8(want.title));
    EXPECT_EQ(p.list().header()->sectionSize(c), want.width);
    auto align = model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(bool(align & Qt::AlignRight), c == 2) << c;
    ASSERT_GT(model.rowCount(), 0);
    auto cell = model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(bool(cell & Qt::AlignRight), c == 2) << c;
  }
  EXPECT_FALSE(p.list().isSortingEnabled());
  EXPECT_EQ(p.list().editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(p.list().selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(WindowTest, LayoutRulePlacesPicMainAndList) {
  for (QSize size : {QSize(600, 500), QSize(420, 300), QSize(800, 640)}) {
    p.window().resize(size);
    ASSERT_TRUE(PollUntil([&] { return p.window().size() == size; }));
    QWidget& pic = p.window().PicMain();
    EXPECT_EQ(pic.width(), p.window().frameGeometry().width());
    EXPECT_EQ(pic.height(), p.window().centralWidget()->height());
    EXPECT_EQ(p.list().geometry(), QRect(0, 0, pic.width() - 8, pic.height()));
  }
}

TEST_F(WindowTest, StatusPanelsShowTheFirstPass) {
  StatusPanels& status = p.window().Status();
  EXPECT_EQ(status.Panel(1)->width(), 96);
  EXPECT_EQ(status.Panel(2)->width(), 150);
  EXPECT_GE(status.Panel(3)->width(), 96);
  EXPECT_GT(status.Panel(3)->width(), 200);  // takes the rest of the bar
  EXPECT_TRUE(status.Panel(1)->text().startsWith(QStringLiteral("进程数：")));
  EXPECT_TRUE(status.Panel(2)->text().startsWith(QStringLiteral("已用内存：")));
  EXPECT_TRUE(status.Panel(3)->text().isEmpty());
}

QString ShortcutOf(form::Shortcut s) {
  switch (s) {
    case form::Shortcut::kF5: return QStringLiteral("F5");
    case form::Shortcut::kCtrlA: return QStringLiteral("Ctrl+A");
    default: return {};
  }
}

TEST_F(WindowTest, MenusFollowTheMenuTable) {
  MenuTree& menus = p.window().Menus();
  QStringList bar;
  for (QAction* a : p.window().menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"文件(&F)", "进程(&P)", "窗口(&W)"}));
  for (const form::MenuItem& item : form::kMenus) {
    if (item.caption == "-") continue;
    QAction* action = menus.Action(item.name, item.index);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text(), Utf8(item.caption));
    EXPECT_EQ(action->shortcut().toString(), ShortcutOf(item.shortcut)) << item.name;
    EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
    EXPECT_FALSE(action->isChecked()) << item.name;
  }
  // Separators stand where the table has them.
  QList<QAction*> file = menus.Menu("mnuFile")->actions();
  ASSERT_EQ(file.size(), 5);
  EXPECT_TRUE(file[1]->isSeparator());
  EXPECT_TRUE(file[3]->isSeparator());
  EXPECT_EQ(menus.Menu("mnuProcess")->actions().size(), 7);
  EXPECT_EQ(menus.Menu("mnuSetProClass")->actions().size(), 6);
}

TEST_F(WindowTest, CtrlAKeepsTheWindowOnTopAndReleasesIt) {
  QAction* on_top = p.window().Menus().Action("mnuOnTop");
  QPoint where = p.window().pos();
  QTest::keyClick(&p.list(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(on_top->isChecked());
  EXPECT_TRUE(p.window().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(PollUntil([&] { return p.window().isVisible(); }));
  EXPECT_EQ(p.window().pos(), where);
  QTest::keyClick(&p.list(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(on_top->isChecked());
  EXPECT_FALSE(p.window().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(PollUntil([&] { return p.window().isVisible(); }));
}

TEST_F(WindowTest, TimersRunAtTheirPace) {
  EXPECT_EQ(p.program().Timers().Interval(form::kTimer1), 200);
  EXPECT_EQ(p.program().Timers().Interval(form::kTimer2), 500);
}

TEST_F(WindowTest, ExitClosesTheWindowAndStopsTheTimers) {
  p.window().Menus().Action("mnuExit")->trigger();
  EXPECT_FALSE(p.window().isVisible());
  EXPECT_EQ(p.program().Timers().Interval(form::kTimer1), 0);
  EXPECT_EQ(p.program().Timers().Interval(form::kTimer2), 0);
}

}  // namespace
}  // namespace kelvar::qt::test
