// Which window system the program draws on; see window_system.h.
#include "platform/qt/window_system.h"

#include <cstring>

namespace kelvar::qt {
namespace {

std::string Variable(const char* name) { return qEnvironmentVariable(name).toStdString(); }

}  // namespace

DisplayEnvironment DisplayEnvironment::Read(int argc, char** argv) {
  DisplayEnvironment env{Variable("QT_QPA_PLATFORM"), Variable("WAYLAND_DISPLAY"), Variable("DISPLAY")};
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
      env.platform_argument = true;
  return env;
}

std::string PlatformToAsk(const DisplayEnvironment& env) {
  bool chosen = !env.qt_platform.empty() || env.platform_argument;
  if (chosen || env.wayland_display.empty() || env.x_display.empty()) return {};
  return "xcb;wayland";
}

bool NoDisplay(const DisplayEnvironment& env) {
  return env.qt_platform.empty() && !env.platform_argument && env.wayland_display.empty() &&
         env.x_display.empty();
}

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
  std::string platform = PlatformToAsk(DisplayEnvironment::Read(argc, argv));
  if (platform.empty()) return std::make_unique<QApplication>(argc, argv);
  qputenv("QT_QPA_PLATFORM", platform.c_str());
  auto app = std::make_unique<QApplication>(argc, argv);
  qunsetenv("QT_QPA_PLATFORM");
  return app;
}

bool KeepsWindowsOnTop(const QString& platform_name) {
  return !platform_name.startsWith(QStringLiteral("wayland"));
}

}  // namespace kelvar::qt
