// The real window offscreen on the fake system: texts, sizes and names, the
// header, the menus, the view's selection and a steady list.
#include <gtest/gtest.h>

#include "platform/qt/properties_dialog.h"
#include "platform/qt/window_system.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

// Items split by "|", "~" before a grey one, the shortcut after a space, a submenu in brackets.
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

QString NameOf(QAccessibleInterface* node) { return node ? node->text(QAccessible::Name) : QString(); }

// Named processes, ten of one name, one whose file is gone, started.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int pid = 100; pid <= 105; ++pid) {
      p.system.proc.Start(pid, "/usr/bin/prog" + std::to_string(pid), 4096);
      p.system.files.Add("/usr/bin/prog" + std::to_string(pid), "prog" + std::to_string(pid));
    }
    p.system.proc.Get(103).priority = Priority::kBelowNormal;
    p.system.proc.Start(106, "/usr/bin/gone", 4096 * 3);  // no file: the row has no name
    for (int pid = 200; pid < 210; ++pid) p.system.proc.Start(pid, "/usr/bin/prog100", 4096 * (pid % 7 + 1));
    p.Start();
  }
  void Click(int pid, Qt::MouseButton button) {
    QTest::mouseClick(p.list().viewport(), button, {}, p.list().visualRect(p.IndexOf(pid, 1)).center());
  }
  FakeProgram p;
  RowModel* m = &p.window().Model();
  StatusPanels& status = p.window().Status();
  MenuTree& menus = p.window().Menus();
};

TEST_F(WindowTest, CaptionAndMenus) {
  EXPECT_EQ(p.window().windowTitle(), QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(Tree(p.window().menuBar()->actions()),
            QStringLiteral("文件(&F)[刷新(&R) F5|-|Kelvar博客|-|退出(&X)]|"
                           "进程(&P)[结束进程(&E)|删除进程文件(&D)|-|文件属性(&R)...|所在目录(&F)...|-|"
                           "设置优先级(&P)[~实时(&R)|高(&H)|高于标准(&A)|标准(&N)|低于标准(&B)|低(&L)]]|"
                           "窗口(&W)[总在最上(&A) Ctrl+A]"));
}

// Each column's "title/width", "R" after a right-aligned header and cell.
TEST_F(WindowTest, ColumnsAndPanelsTakeTheirSizesAndAlignment) {
  QString columns;
  for (int c = 0; c < m->columnCount(); ++c) {
    auto head = m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    auto cell = m->data(m->index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
    columns += m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + "/" +
               QString::number(p.list().header()->sectionSize(c)) + (head & Qt::AlignRight ? "R" : "") +
               (cell & Qt::AlignRight ? "R " : " ");
  }
  EXPECT_EQ(columns, QStringLiteral(
                         "进程名称/120 PID/45 内存(K)/55RR 种类/36 级别/36 优先/36 进程路径/400 备注/500 "));
  EXPECT_EQ(std::tuple(status.Panel(1)->width(), status.Panel(2)->width(), status.Panel(3)->width() > 200),
            std::tuple(96, 150, true));  // the last takes the rest of the bar
}

// The controls and panels by name, a row without a name by its path.
TEST_F(WindowTest, ScreenReadersHearEveryControlAndRow) {
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&p.list());
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(p.window().statusBar());
  QStringList names{NameOf(QAccessible::queryAccessibleInterface(p.window().menuBar())), NameOf(list),
                    NameOf(list->tableInterface()->cellAt(p.RowOf(106), 0)), NameOf(bar)};
  for (int i = 0; i < bar->childCount(); ++i) names << NameOf(bar->child(i));
  EXPECT_EQ(names, (QStringList{"菜单栏", "进程列表", "/usr/bin/gone", "状态栏", "调整窗口大小", "进程数：17",
                                "已用内存：220 KB", "空白"}));
}

TEST_F(WindowTest, HeaderClicksSortTheRows) {
  QHeaderView* header = p.list().header();
  for (auto [column, pids] : {std::pair{0, std::vector{105, 104, 103, 102, 101}},
                              {1, {100, 101, 102, 103, 104}},
                              {0, {106, 100, 200}}}) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 6, header->height() / 2));
    for (int r = 0; r < int(pids.size()); ++r)
      EXPECT_EQ(m->data(m->index(r, 1), Qt::DisplayRole).toInt(), pids[r]) << column << " " << r;
  }
}

// Passes that change nothing tell the view and the status bar nothing; one
// changed figure is one notification and one panel write.
TEST_F(WindowTest, ASteadyListCostsTheViewNothing) {
  QSignalSpy spies[] = {{m, &QAbstractItemModel::rowsInserted}, {m, &QAbstractItemModel::rowsRemoved},
                        {m, &QAbstractItemModel::dataChanged},  {m, &QAbstractItemModel::layoutChanged},
                        {m, &QAbstractItemModel::modelReset},   {m, &QAbstractItemModel::headerDataChanged}};
  const int writes = status.Writes();
  for (int i = 0; i < 20; ++i) p.form().OnTick(form::Timer::kRefresh), p.form().OnTick(form::Timer::kSweep);
  QTest::qWait(1200);  // the real timers too
  for (const QSignalSpy& spy : spies) EXPECT_EQ(spy.count(), 0) << spy.signal().toStdString();
  EXPECT_EQ(status.Writes(), writes);
  p.system.proc.Get(103).working_set += 1 << 20;
  p.form().OnTick(form::Timer::kRefresh);
  EXPECT_EQ(std::tuple(spies[2].count(), status.Writes()), std::tuple(1, writes + 1));
}

// A right press, the Menu key and Shift+F10 open the process menu for the
// selected row with its class ticked; the keys at the row, never with none.
TEST_F(WindowTest, RightPressAndMenuKeysOpenTheProcessMenu) {
  QMenu* menu = menus.Menu("process");
  for (auto [key, shift] : {std::pair{0, false}, {Qt::Key_Menu, false}, {Qt::Key_F10, true}}) {
    const auto open = [&] {
      key ? QTest::keyClick(&p.list(), Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier)
          : Click(103, Qt::RightButton);
    };
    p.form().OnItemClick(kNoRow);
    if (key) {
      open();
      EXPECT_FALSE(menu->isVisible());
      p.form().OnItemClick(p.RowOf(103));
    }
    menus.SetChecked("priority_class", 3, true);  // an earlier tick goes
    open();
    ASSERT_TRUE(PollUntil([&] { return menu->isVisible(); })) << key;
    EXPECT_EQ(p.list().selectionModel()->selectedRows(), QModelIndexList{p.IndexOf(103)});
    for (int i = 0; i < 6; ++i) EXPECT_EQ(menus.Action("priority_class", i)->isChecked(), i == 4) << i;
    const QPoint row = p.list().viewport()->mapToGlobal(p.list().visualRect(p.IndexOf(103)).bottomLeft());
    EXPECT_TRUE(!key || menu->pos() == row) << key;
    menu->close();
  }
}

// Chosen items reach the form as their commands.
TEST_F(WindowTest, MenuItemsHandTheFormTheirCommand) {
  p.form().OnItemClick(p.RowOf(101));
  menus.Action("priority_class", 5)->trigger();
  EXPECT_EQ(p.system.proc.Get(101).priority, Priority::kIdle);
  p.system.proc.Exit(100);
  menus.Action("refresh")->trigger();
  EXPECT_EQ(status.Panel(1)->text(), QStringLiteral("进程数：16"));
}

// The selected process ends, then the one on the row after it: the view
// highlights neither the row it moved to nor any current row.
TEST_F(WindowTest, ARemovedSelectedRowLeavesNoneHighlighted) {
  Click(102, Qt::LeftButton);
  ASSERT_EQ(p.form().Rows().Selected(), p.RowOf(102));
  for (int pid : {102, 103}) {
    p.system.proc.Exit(pid);
    p.form().OnTick(form::Timer::kSweep);
    ASSERT_EQ(p.RowOf(pid), kNoRow);
    EXPECT_TRUE(p.list().selectionModel()->selectedRows().isEmpty()) << pid;
    EXPECT_FALSE(p.list().currentIndex().isValid()) << pid;
  }
}

// The frame, not the client area, is centred, rounded as the form rounds.
TEST(Centring, TheFrameIsCentredOnTheScreen) {
  EXPECT_EQ(CentredFrameOrigin({1024, 768}, {546, 540}), QPoint(239, 114));
  EXPECT_EQ(CentredFrameOrigin({1025, 769}, {546, 540}), QPoint(240, 115));
  EXPECT_EQ(CentredFrameOrigin({500, 400}, {546, 540}), QPoint(-23, -70));
}

// Xcb first only where XWayland is there and the user chose no platform;
// nothing to draw on only where nothing is there.
TEST(WindowSystem, ThePlatformAskedOfQt) {
  const std::tuple<DisplayEnvironment, std::string, bool> cases[] = {
      {{"", "wayland-0", ":0"}, "xcb;wayland", false}, {{"", "wayland-0", ""}, "", false},
      {{"wayland", "wayland-0", ":0"}, "", false},     {{"", "", ":1"}, "", false},
      {{"", "wayland-0", ":0", true}, "", false},      {{"", "", ""}, "", true}};
  for (const auto& [env, asked, none] : cases)
    EXPECT_EQ(std::pair(PlatformToAsk(env), NoDisplay(env)), std::pair(asked, none)) << env.qt_platform;
  char* argv[] = {const_cast<char*>("kelvarpm"), const_cast<char*>("-platform"), const_cast<char*>("xcb")};
  EXPECT_TRUE(DisplayEnvironment::Read(3, argv).platform_argument);
  EXPECT_EQ(std::pair(KeepsWindowsOnTop("wayland-egl"), KeepsWindowsOnTop("xcb")), std::pair(false, true));
}

// As the shell's sheet, nothing shows for a file that is not there.
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

}  // namespace
}  // namespace kelvar::qt::test
