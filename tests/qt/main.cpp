// The application as kelvarpm's main() makes it (ctest names the offscreen
// platform for the window tests; with no display at all, as when the build
// lists the tests, it is offscreen too), with a session bus address that
// leads nowhere so no bus is ever autolaunched for a test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/qt/desktop_icons.h"
#include "platform/qt/window_system.h"

// Qt's Wayland plugin leaves a few of libwayland's objects to the end of the
// process; the sanitizer build's leak checker is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libwayland-client.so\n"; }

int main(int argc, char** argv) {
  if (kelvar::qt::NoDisplay(kelvar::qt::DisplayEnvironment::Read(argc, argv)))
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kelvar-no-bus", 1);
  std::unique_ptr<QApplication> app = kelvar::qt::MakeApplication(argc, argv);
  kelvar::qt::UseDesktopIconTheme(kelvar::qt::XdgDataDirs());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
