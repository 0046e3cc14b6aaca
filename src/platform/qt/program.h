// The Linux program put together: the system's adapters (given), the Qt
// window and its adapters, and MainForm, wired so that every window event
// reaches the form and every form port reaches a widget.  Tests build the
// same object on real or fake system adapters; main() builds it on the
// procfs adapters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "monitor/process_monitor.h"
#include "platform/qt/desktop_icons.h"
#include "platform/qt/image_list.h"
#include "platform/qt/timers.h"
#include "platform/size_formatter.h"

namespace kelvar {
class MainForm;
}

namespace kelvar::qt {

class DesktopShell;
class MainWindow;
class QtMessageBox;

// What the program needs of the operating system.
struct SystemPorts {
  ProcessSource& processes;
  FileSearch& files;
  Directories& dirs;
  ProfileReader& profile;
  SizeFormatter& sizes;
};

struct ProgramSettings {
  std::string trash_data_home;              // $XDG_DATA_HOME or ~/.local/share
  std::vector<std::string> icon_data_dirs;  // where desktop entries live
  // The settings the environment gives.
  static ProgramSettings FromEnvironment();
};

class QtProgram {
 public:
  QtProgram(SystemPorts os, ProgramSettings settings);
  ~QtProgram();
  QtProgram(const QtProgram&) = delete;
  QtProgram& operator=(const QtProgram&) = delete;

  // The start-up sequence (OnLoad); Show() then shows the window.
  void Load();
  void Show();

  MainForm& Form() const { return *form_; }
  MainWindow& Window() const { return *window_; }
  DesktopShell& Shell() const { return *shell_; }
  const QtImageList& Images() const { return images_; }
  const QtTimers& Timers() const { return *timers_; }

 private:
  void Wire();

  QtImageList images_;
  DesktopIconSource icons_;
  QtMessagePump pump_;
  std::unique_ptr<QtMessageBox> msgbox_;
  std::unique_ptr<QtTimers> timers_;
  std::unique_ptr<DesktopShell> shell_;
  std::unique_ptr<MainForm> form_;
  std::unique_ptr<MainWindow> window_;  // destroyed first: its widgets use all above
};

}  // namespace kelvar::qt
