// The Qt tests' main: one QApplication on the offscreen platform, the
// Adwaita icon theme, and a session bus address that leads nowhere, so the
// shell's D-Bus requests fall back to the program's own windows the same way
// on every machine and no bus is ever autolaunched for a test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <cstdlib>

#include "platform/qt/desktop_icons.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kelvar-no-bus", 1);
  QApplication app(argc, argv);
  kelvar::qt::UseDesktopIconTheme(kelvar::qt::XdgDataDirs());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
