// The program under a Wayland compositor, on the platform kelvarpm's main()
// picks: tests/scripts/compositor_test.sh starts a headless weston, with
// XWayland or without, and runs the case of that desktop.  Each case leaves a
// picture of the compositor's output where KELVAR_SCREENSHOT says.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <algorithm>

#include "platform/qt/desktop_icons.h"
#include "platform/qt/window_system.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

// A program shown on the compositor.  A headless weston has no keyboard to
// give: only a window on its X server becomes active, when it asks.
struct ShownProgram : RealProgram {
  ShownProgram() {
    program.Load();
    program.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
  }
};

// The share of the picture that is pure black: a window not yet drawn.
double BlackShare(const QImage& image) {
  qsizetype black = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) black += (image.pixel(x, y) & 0xffffff) == 0;
  return double(black) / std::max<qsizetype>(1, qsizetype(image.width()) * image.height());
}

// The compositor's output as a person sees it, frames and panel included,
// once the window has been drawn.
void SaveScreenshot() {
  TempDir folder;
  const QString into = QString::fromStdString(folder.path()),
                file = qEnvironmentVariable("KELVAR_SCREENSHOT");
  QImage image;
  for (int tries = 0; tries < 20 && (image.isNull() || BlackShare(image) > 0.02); ++tries) {
    QTest::qWait(100);
    QProcess shooter;
    shooter.setWorkingDirectory(into);
    shooter.start("weston-screenshooter");
    PollUntil([&] { return shooter.state() == QProcess::NotRunning; });
    for (const QString& taken : QDir(into).entryList({"*.png"})) {
      QFile::remove(file);
      QFile::rename(into + "/" + taken, file);
      image.load(file);
    }
  }
  ASSERT_FALSE(image.isNull()) << "weston-screenshooter took no picture";
  EXPECT_LT(BlackShare(image), 0.02) << "the window was never drawn";
  std::cout << "screenshot: " << file.toStdString() << std::endl;
}

// Ctrl+A twice: the hint on the native window and back, the window shown
// again where it was.  The frame weston's X window manager adds is its own,
// and it does not announce it (_NET_FRAME_EXTENTS), so the window centres
// itself.
TEST(Compositor, WithXWaylandTheWindowRunsOnXcbCentredAndKeptOnTop) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no XWayland here";
  ASSERT_EQ(QGuiApplication::platformName().toStdString(), "xcb");
  ShownProgram p;
  MainWindow& window = p.window();
  const QRect screen = window.screen()->geometry(), placed = window.frameGeometry();
  EXPECT_LE((placed.center() - screen.center()).manhattanLength(), 1) << placed.x() << "," << placed.y();
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
  ShownProgram p;
  QAction* on_top = p.window().Menus().Action("on_top");
  EXPECT_FALSE(on_top->isEnabled());
  EXPECT_EQ(on_top->toolTip().toStdString(), "Wayland 不允许程序让自己的窗口总在最上");
  SaveScreenshot();
}

}  // namespace
}  // namespace kelvar::qt::test

// Qt's Wayland plugin leaves a few of libwayland's objects to the end of the
// process; the leak checker of the sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libwayland-client.so\n"; }

// The application as kelvarpm's main() makes it, with no session bus.
int main(int argc, char** argv) {
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kelvar-no-bus", 1);
  std::unique_ptr<QApplication> app = kelvar::qt::MakeApplication(argc, argv);
  kelvar::qt::UseDesktopIconTheme(kelvar::qt::XdgDataDirs());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
