// One QApplication, offscreen, with a session bus address that leads nowhere
// so no bus is ever autolaunched for a test.
#include <gtest/gtest.h>

#include <QApplication>
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
