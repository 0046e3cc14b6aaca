// The program on the platform it picks under the headless weston, with
// XWayland or without, that tests/scripts/compositor_test.sh starts for each
// case; a case leaves a picture of the screen where KELVAR_SCREENSHOT says.
#include <gtest/gtest.h>

#include "test_program.h"

namespace kelvar::qt::test {
namespace {

bool Drawn(const QImage& image) {  // not a black window still waiting for its first frame
  qsizetype black = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) black += (image.pixel(x, y) & 0xffffff) == 0;
  return !image.isNull() && black * 50 < qsizetype(image.width()) * image.height();
}

void SaveScreenshot() {
  TempDir folder;
  const QString dir = QString::fromStdString(folder.path()), file = qEnvironmentVariable("KELVAR_SCREENSHOT");
  QImage image;
  for (int tries = 0; tries < 20 && !Drawn(image); ++tries) {
    QProcess shooter;
    shooter.setWorkingDirectory(dir);
    shooter.start("weston-screenshooter");
    PollUntil([&] { return shooter.state() == QProcess::NotRunning; });
    const QStringList taken = QDir(dir).entryList({"*.png"});  // named by the time, the last is the newest
    if (!taken.isEmpty()) image.load(dir + "/" + taken.last());
  }
  EXPECT_TRUE(Drawn(image) && image.save(file)) << "no picture of the drawn window: " << file.toStdString();
}

// Ctrl+A on and off: the hint on the native window, which is shown again
// where it was.  Weston's X window manager does not announce its frame
// (_NET_FRAME_EXTENTS), so the window centres its own outline.
TEST(Compositor, WithXWaylandTheWindowRunsOnXcbCentredAndKeptOnTop) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no XWayland here";
  ASSERT_EQ(QGuiApplication::platformName().toStdString(), "xcb");
  RealProgram p;
  p.Start(false);  // weston gives no window the keyboard
  MainWindow& window = p.window();
  const QRect placed = window.frameGeometry();
  EXPECT_LE((placed.center() - window.screen()->geometry().center()).manhattanLength(), 1);
  for (bool on : {true, false}) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window.Menus().Checked("on_top"), on);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
    EXPECT_EQ(window.frameGeometry(), placed) << on;
    if (on) SaveScreenshot();
  }
}

TEST(Compositor, OnWaylandAloneAlwaysOnTopIsGreyedOut) {
  if (!qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "XWayland is here";
  ASSERT_EQ(QGuiApplication::platformName().toStdString(), "wayland");
  RealProgram p;
  p.Start(false);  // weston gives no window the keyboard
  QAction* on_top = p.window().Menus().Action("on_top");
  EXPECT_FALSE(on_top->isEnabled());
  EXPECT_EQ(on_top->toolTip().toStdString(), "Wayland 不允许程序让自己的窗口总在最上");
  SaveScreenshot();
}

}  // namespace
}  // namespace kelvar::qt::test
