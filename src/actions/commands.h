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

#include <optional>
#include <string>
#include <string_view>

#include "monitor/process_monitor.h"
#include "monitor/row_store.h"
#include "platform/desktop.h"
#include "platform/file_search.h"
#include "platform/message_box.h"
#include "platform/process_source.h"
#include "platform/timers.h"

namespace kelvar {

// The title of every message box, the same text as the window's caption.
inline constexpr std::string_view kAppTitle = "Kelvar进程管理";
// The publisher's web page, opened by "Kelvar博客".
inline constexpr std::string_view kBlogAddress = "http://www.kelvar.com/";

struct CommandPorts {
  ProcessSource& processes;
  FileSearch& files;
  MessageBox& msgbox;
  MessagePump& pump;
  Desktop& desktop;
};

class Commands {
 public:
  Commands(RowStore& rows, ProcessMonitor& monitor, CommandPorts ports)
      : rows_(rows), monitor_(monitor), os_(ports) {}

  void EndSelected();
  void EndSelectedAndTrash();
  void ShowSelectedProperties();
  void OpenSelectedFolder();
  void OpenPublisherPage();
  // The priority item `index` was chosen; `ticked` is its check mark.
  void SetPriorityItem(int index, bool ticked);

 private:
  // The selected row, copied before any question; nullopt when none.
  std::optional<ProcessRow> Picked() const;
  // The file the picked process runs now (see commands.cpp).
  FileIdentity RunningImage(const ProcessRow& row);
  // Whether the file at the row's path is the file the process runs, as
  // far as the system can tell.
  bool IsRunningFile(const ProcessRow& row, const FileIdentity& running);
  void TellImageGone(const ProcessRow& row, const char* what_happened);

  RowStore& rows_;
  ProcessMonitor& monitor_;
  CommandPorts os_;
};

}  // namespace kelvar
