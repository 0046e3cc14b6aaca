// Which window system the program draws on, and what that system allows.
// Under Wayland a client can neither place its own window nor keep it above
// the others, and both belong to this window (centred at start, always on top
// on request).  So on a Wayland desktop that also runs XWayland the program
// asks Qt for xcb first, Wayland only as the fallback; where only Wayland is
// there it runs on Wayland, and the always-on-top item is greyed out rather
// than ticked for nothing.  A platform the user chose (QT_QPA_PLATFORM,
// -platform) is always kept.
#pragma once

#include <QApplication>
#include <memory>
#include <string>

namespace kelvar::qt {

// What the environment and the command line say about the displays.
struct DisplayEnvironment {
  std::string qt_platform;         // QT_QPA_PLATFORM
  std::string wayland_display;     // WAYLAND_DISPLAY
  std::string x_display;           // DISPLAY
  bool platform_argument = false;  // -platform on the command line
  static DisplayEnvironment Read(int argc, char** argv);
};

// The platforms to ask Qt for, in order ("" leaves the choice to Qt).
std::string PlatformToAsk(const DisplayEnvironment& env);
// Nothing says where to draw: no display, and no platform chosen.
bool NoDisplay(const DisplayEnvironment& env);

// The QApplication on the platform PlatformToAsk names.  The environment is
// put back once Qt has read it, so the programs this one opens choose their
// own platform.
std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv);

// Whether the window system lets a client keep its window above the others.
bool KeepsWindowsOnTop(const QString& platform_name);

}  // namespace kelvar::qt
