// The program as the tests build it: the real window and its Qt adapters on
// either the real procfs adapters or the fake system of tests/fake (for a
// list whose content a test must fix), with its trash in a throw-away folder
// and no desktop entries.
#pragma once

#include <memory>
#include <string>

#include "fake/fake_system.h"
#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/linux_size_formatter.h"
#include "platform/linux/procfs_process_control.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_tree.h"
#include "platform/qt/process_list.h"
#include "platform/qt/program.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "qt_test_support.h"
#include "ui/frm_main.h"

namespace kelvar::qt::test {

struct RealSystem {
  ProcfsProcessControl proc;
  LinuxFileSearch files;
  LinuxDirectories dirs;
  LinuxProfileReader profile;
  LinuxSizeFormatter sizes;
};

struct FakeSystem {
  FakeSystem() {
    dirs.system_dir = "/usr/bin";
    dirs.windows_dir = "/usr";
    dirs.program_folder = "/opt/kelvar";
  }
  fake::FakeProcessTable proc;
  fake::FakeFiles files;
  fake::FakeDirectories dirs;
  fake::FakeProfile profile;
  fake::FakeSizeFormatter sizes;
};

template <typename System>
class TestProgram {
 public:
  // The trash lives in `data_home`, by default in a throw-away folder.
  explicit TestProgram(std::string data_home = {})
      : program_(std::make_unique<QtProgram>(
            SystemPorts{system_.proc, system_.files, system_.dirs, system_.profile, system_.sizes},
            ProgramSettings{data_home.empty() ? home_.path() + "/data" : data_home, {}})) {}

  System& system() { return system_; }
  frmMain& form() { return program_->Form(); }
  MainWindow& window() { return program_->Window(); }
  ProcessList& list() { return window().List(); }
  RowStore& rows() { return form().List1(); }
  const std::string& home() const { return home_.path(); }

  // Form_Load, show, and wait until the window is on screen and active.
  void Start() {
    program_->Load();
    program_->Show();
    window().activateWindow();
    PollUntil([this] { return window().isActiveWindow() && list().width() > 0; });
  }
  // The row of a PID, 0 when it has none.
  int RowOf(int pid) { return form().Monitor().HaveItem(pid); }

 private:
  TempDir home_;
  System system_;
  std::unique_ptr<QtProgram> program_;
};

using RealProgram = TestProgram<RealSystem>;
using FakeProgram = TestProgram<FakeSystem>;

}  // namespace kelvar::qt::test
