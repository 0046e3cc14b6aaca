// The commands on the selected process: ending it, ending it and sending its
// file to the Recycle Bin / trash, setting its priority class, its file
// properties and its folder, and the publisher's page.  Each command reads
// what it needs from the row the user picked before it asks anything — name,
// PID, start time and path together — and acts on exactly that process and
// that file, whatever the timers do to the list while a question is open.
// A path names whatever was put there last, and an executable can be
// deleted or replaced while its process runs: the file actions reach the
// file at the row's path only while it is the very file the confirmed
// process runs (where the system can tell files apart), and otherwise say
// so to the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/process_monitor.h"
#include "monitor/row_store.h"
#include "platform/file_search.h"
#include "platform/message_box.h"
#include "platform/process_control.h"
#include "platform/shell.h"
#include "platform/timers.h"

namespace kelvar {

// The title of every message box, the same text as the window's caption.
inline constexpr std::string_view kAppTitle = "Kelvar进程管理";
// The publisher's web page, opened by "Kelvar博客".
inline constexpr std::string_view kBlogAddress = "http://www.kelvar.com/";

// What a command knows of the row the user picked.
struct PickedRow {
  std::string name;
  Pid pid = 0;
  std::uint64_t start_time = 0;
  std::string path;
  FileIdentity image;  // the file the process ran when last checked
};

// The selected row, read once; nullopt when none is selected.
std::optional<PickedRow> PickSelected(const RowStore& rows);

// Ends the process with exit code 0, but only when `pid` still names the
// process that started at `start_time` (0: not checked).
void EndProcess(ProcessControl& proc, Pid PID, std::uint64_t start_time = 0);

namespace trash {
// Sends one file to the Recycle Bin / trash through the shell.
void DelFile(Shell& shell, const std::string& path);
}  // namespace trash

namespace properties {
void ShowProperties(Shell& shell, const std::string& path, std::uintptr_t owner);
}  // namespace properties

namespace app {
// The folder of a path: everything before its last separator.
std::string GetFolder(const std::string& path);
}  // namespace app

struct CommandPorts {
  ProcessControl& proc;
  FileSearch& files;
  MessageBox& msgbox;
  MessagePump& pump;
  Shell& shell;
};

class Commands {
 public:
  Commands(RowStore& rows, ProcessMonitor& monitor, CommandPorts ports)
      : rows_(rows), monitor_(monitor), os_(ports) {}

  void EndSelected();
  void EndSelectedAndTrash();
  void ShowSelectedProperties(std::uintptr_t owner);
  void OpenSelectedFolder(std::uintptr_t owner);
  void OpenPublisherPage(std::uintptr_t owner);
  // The priority item `index` was chosen; `ticked` is its check mark.
  void SetProClassItem(int index, bool ticked);

 private:
  // The file the picked process runs now (see commands.cpp).
  FileIdentity RunningImage(const PickedRow& row);
  // Whether the file at the row's path is the file the process runs, as
  // far as the system can tell.
  bool IsRunningFile(const PickedRow& row, const FileIdentity& running);
  void TellImageGone(const PickedRow& row, const char* what_happened);

  RowStore& rows_;
  ProcessMonitor& monitor_;
  CommandPorts os_;
};

}  // namespace kelvar
