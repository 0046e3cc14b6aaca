// The commands on the selected process; see commands.h.
#include "actions/commands.h"

#include "platform/scoped_process.h"
#include "procinfo/message_field.h"
#include "procinfo/path_style.h"
#include "procinfo/priority.h"

namespace kelvar {

std::optional<PickedRow> PickSelected(const RowStore& rows) {
  int index = rows.Selected();
  if (index == 0) return std::nullopt;
  PickedRow row;
  row.name = rows.SubItem(index, cell::kName);
  row.pid = rows.PidOf(index);
  row.start_time = rows.StartTime(index);
  row.path = rows.SubItem(index, cell::kPath);
  row.image = rows.Image(index);
  return row;
}

void EndProcess(ProcessControl& proc, Pid PID, std::uint64_t start_time) {
  // Querying the start time needs a right of its own beside terminating.
  ScopedProcess h(proc, PID, access::kTerminate | access::kQueryLimited, true);
  if (start_time != 0 && proc.StartTime(h.get()) != start_time) return;
  proc.Terminate(h.get(), 0);
}

namespace trash {
void DelFile(Shell& shell, const std::string& path) {
  FileOperationRequest request;
  request.wFunc = fo::kDelete;
  request.pFrom = path;
  request.fFlags = fo::kAllowUndo;
  shell.SHFileOperation(request);
}
}  // namespace trash

namespace properties {
void ShowProperties(Shell& shell, const std::string& path, std::uintptr_t owner) {
  ShellExecuteInfo info;
  info.fMask = see::kInvokeIdList | see::kNoCloseProcess | see::kFlagNoUi;
  info.hwnd = owner;
  info.lpVerb = "properties";
  info.lpFile = path;
  info.nShow = sw::kHide;
  shell.ShellExecuteEx(info);
}
}  // namespace properties

namespace app {
std::string GetFolder(const std::string& path) {
  std::size_t last = path.rfind(PathSeparator(path));
  if (last == std::string::npos) return {};
  // A file in the root of a POSIX tree lives in "/", not in "".
  if (last == 0 && IsPosixPath(path)) return "/";
  return path.substr(0, last);
}
}  // namespace app

void Commands::EndSelected() {
  std::optional<PickedRow> row = PickSelected(rows_);
  if (!row) return;
  std::string question = "确定要结束进程 " + MessageField(row->name) + " 吗？";
  if (os_.msgbox.Show(question, std::string(kAppTitle), mb::kOkCancel | mb::kIconExclamation) ==
      mb::kIdCancel)
    return;
  if (row->pid != 0) EndProcess(os_.proc, row->pid, row->start_time);
  monitor_.ListProcess();
}

void Commands::EndSelectedAndTrash() {
  std::optional<PickedRow> row = PickSelected(rows_);
  if (!row) return;
  std::string question = "确定要结束进程并删除以下文件吗？\r\n\r\n" + MessageField(row->path);
  if (os_.msgbox.Show(question, std::string(kAppTitle), mb::kOkCancel | mb::kIconExclamation) ==
      mb::kIdCancel)
    return;
  if (row->pid != 0) {
    const FileIdentity running = RunningImage(*row);
    EndProcess(os_.proc, row->pid, row->start_time);
    // The only pause between ending the process and deleting its file.
    os_.pump.DoEvents();
    os_.pump.DoEvents();
    if (IsRunningFile(*row, running)) {
      trash::DelFile(os_.shell, row->path);
    } else {
      TellImageGone(*row, "进程运行的文件已被删除或替换，没有文件被移到回收站。");
    }
  }
  monitor_.ListProcess();
}

void Commands::ShowSelectedProperties(std::uintptr_t owner) {
  std::optional<PickedRow> row = PickSelected(rows_);
  if (!row) return;
  if (IsRunningFile(*row, RunningImage(*row))) {
    properties::ShowProperties(os_.shell, row->path, owner);
  } else {
    TellImageGone(*row, "进程运行的文件已被删除或替换。");
  }
}

// A process that has ended (or whose PID a newer one took) ran, to its end,
// the file its row last saw; one that lives but can no longer be read runs
// a file nobody can name, which is unknown.  Where the system cannot tell
// files apart there is nothing to ask.
FileIdentity Commands::RunningImage(const PickedRow& row) {
  if (!row.image.known) return {};
  {
    ScopedProcess query(os_.proc, row.pid, access::kQueryLimited);
    const bool same = query && (row.start_time == 0 || os_.proc.StartTime(query.get()) == row.start_time);
    if (!same || os_.proc.ExitCode(query.get()) != kStillActive) return row.image;
  }
  ScopedProcess h(os_.proc, row.pid, access::kRead);
  return h ? os_.proc.ImageIdentity(h.get()) : FileIdentity{};
}

// A row whose image is unknown comes from a system that cannot tell files
// apart: there the path is all there is to go by.
bool Commands::IsRunningFile(const PickedRow& row, const FileIdentity& running) {
  return !row.image.known || SameFile(running, os_.files.IdentityAt(row.path));
}

void Commands::TellImageGone(const PickedRow& row, const char* what_happened) {
  os_.msgbox.Show(std::string(what_happened) + "\r\n\r\n" + MessageField(row.path), std::string(kAppTitle),
                  mb::kOk | mb::kIconInformation);
}

void Commands::OpenSelectedFolder(std::uintptr_t owner) {
  std::optional<PickedRow> row = PickSelected(rows_);
  if (row) os_.shell.ShellExecute(owner, "open", app::GetFolder(row->path), "", "", sw::kShowNormal);
}

void Commands::OpenPublisherPage(std::uintptr_t owner) {
  os_.shell.ShellExecute(owner, "open", std::string(kBlogAddress), "", "", sw::kShowNoActivate);
}

void Commands::SetProClassItem(int index, bool ticked) {
  std::optional<PickedRow> row = PickSelected(rows_);
  if (!row || ticked || index < 0 || index >= static_cast<int>(kPriorityClasses.size())) return;
  std::uint32_t value = kPriorityClasses[static_cast<std::size_t>(index)].value;
  if (ApplyPriorityClass(os_.proc, row->pid, value) == 0) {
    os_.msgbox.Show("无法为进程 " + row->name + " 设置优先级。", std::string(kAppTitle),
                    mb::kOk | mb::kIconError);
  }
}

}  // namespace kelvar
