// A whole MainForm on the fake system and fake controls.
#pragma once

#include "fake/fake_controls.h"
#include "fake/fake_system.h"
#include "ui/main_form.h"

namespace kelvar::fake {

struct TestForm {
  FakeProcessTable procs;
  FakeFiles files;
  FakeDirectories dirs;
  FakeProfile profile;
  FakeSizeFormatter sizes;
  FakeIcons icons;
  FakeImageList images;
  FakeStatusBar status;
  FakeWindow window;
  FakeList list;
  FakeMenus menus;
  FakeMessageBox msgbox;
  FakeTimers timers;
  FakePump pump;
  FakeDesktop desktop;
  CountingObserver observer;
  MainForm form{MonitorPorts{procs, files, dirs, profile, icons, images},
                FormPorts{window, list, menus, msgbox, timers, pump, desktop, status, sizes}};

  TestForm() { form.Rows().SetObserver(&observer); }
  RowStore& rows() { return form.Rows(); }
  // A process with a file at its path.
  FakeProcess& Start(Pid pid, const std::string& path, std::uint64_t ws = 8192) {
    files.Add(path, path.substr(path.find_last_of("\\/") + 1));
    return procs.Start(pid, path, ws);
  }
  int RowOf(Pid pid) { return form.Monitor().RowOf(pid); }  // kNoRow: none
  std::string Cell(Pid pid, Column column) { return std::string(rows().Text(RowOf(pid), column)); }
};

}  // namespace kelvar::fake
