// The commands on the selected process; see commands.h.
#include "actions/commands.h"

#include "procinfo/message_field.h"
#include "procinfo/path_style.h"
#include "procinfo/priority.h"

namespace kelvar {

std::optional<ProcessRow> Commands::Picked() const {
  const int index = rows_.Selected();
  if (index == kNoRow) return std::nullopt;
  return rows_.Row(index);
}

void Commands::EndSelected() {
  std::optional<ProcessRow> row = Picked();
  if (!row) return;
  if (!os_.msgbox.Confirm("确定要结束进程 " + MessageField(row->name) + " 吗？")) return;
  if (row->id.pid != 0) os_.processes.End(row->id);
  monitor_.Refresh();
}

void Commands::EndSelectedAndTrash() {
  std::optional<ProcessRow> row = Picked();
  if (!row) return;
  if (!os_.msgbox.Confirm("确定要结束进程并删除以下文件吗？\r\n\r\n" + MessageField(row->path))) return;
  if (row->id.pid != 0) {
    const FileIdentity running = RunningImage(*row);
    os_.processes.End(row->id);
    // The only pause between ending the process and deleting its file.
    os_.pump.DoEvents();
    os_.pump.DoEvents();
    // The desktop checks once more at the move, after its own question.
    if (!IsRunningFile(*row, running) ||
        os_.desktop.MoveToTrash(row->path, running) == TrashResult::kNotTheFile) {
      TellImageGone(*row, "进程运行的文件已被删除或替换，没有文件被移到回收站。");
    }
  }
  monitor_.Refresh();
}

void Commands::ShowSelectedProperties() {
  std::optional<ProcessRow> row = Picked();
  if (!row) return;
  if (IsRunningFile(*row, RunningImage(*row))) {
    os_.desktop.ShowProperties(row->path);
  } else {
    TellImageGone(*row, "进程运行的文件已被删除或替换。");
  }
}

// A process that has ended (or whose PID a newer one took) ran, to its end,
// the file its row last saw; one that lives but can no longer be read runs
// a file nobody can name, which is unknown.  Where the system cannot tell
// files apart there is nothing to ask.
FileIdentity Commands::RunningImage(const ProcessRow& row) {
  if (!row.image.known) return {};
  FileIdentity now;
  switch (os_.processes.Look(row.id, now, LookDepth::kExact)) {
    case Liveness::kRunning:
      return now;
    case Liveness::kGone:
      return row.image;
    case Liveness::kUnreadable:
      break;
  }
  return {};
}

// A row whose image is unknown comes from a system that cannot tell files
// apart: there the path is all there is to go by.
bool Commands::IsRunningFile(const ProcessRow& row, const FileIdentity& running) {
  return !row.image.known || SameFile(running, os_.files.IdentityAt(row.path));
}

void Commands::TellImageGone(const ProcessRow& row, const char* what_happened) {
  os_.msgbox.Tell(std::string(what_happened) + "\r\n\r\n" + MessageField(row.path), Notice::kInformation);
}

void Commands::OpenSelectedFolder() {
  std::optional<ProcessRow> row = Picked();
  if (row) os_.desktop.OpenFolder(FolderOf(row->path));
}

void Commands::OpenPublisherPage() { os_.desktop.OpenAddress(std::string(kBlogAddress)); }

void Commands::SetPriorityItem(int index, bool ticked) {
  std::optional<ProcessRow> row = Picked();
  if (!row || ticked || index < 0 || index >= static_cast<int>(kPriorityItems.size())) return;
  const Priority priority = kPriorityItems[static_cast<std::size_t>(index)].priority;
  if (!os_.processes.SetPriority(row->id, priority)) {
    os_.msgbox.Tell("无法为进程 " + row->name + " 设置优先级。", Notice::kError);
  }
}

}  // namespace kelvar
