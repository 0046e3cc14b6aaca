// The refresh pass, the sweep and the status-bar totals; see
// process_monitor.h.
#include "monitor/process_monitor.h"

#include <charconv>

#include "platform/scoped_process.h"
#include "procinfo/icon_step.h"
#include "procinfo/ini.h"
#include "procinfo/priority.h"
#include "procinfo/size_text.h"
#include "procinfo/sys_path.h"

namespace kelvar {
std::uint64_t MemoryK(std::uint64_t bytes) {
  std::uint64_t k = bytes / 1024, rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && (k & 1))) ++k;
  return k;
}

int ProcessMonitor::RowOf(Pid itemID) const {
  char key[16] = {'I', 'D', ':'};
  auto [end, ec] = std::to_chars(key + 3, key + sizeof key, itemID);
  if (ec != std::errc()) return 0;
  return rows_.Find(std::string_view(key, static_cast<std::size_t>(end - key)));
}

void ProcessMonitor::ListProcess() {
  std::int64_t pro_count = 0;
  std::uint64_t mem_total = 0;
  if (os_.proc.Snapshot(snapshot_)) {
    for (Pid pid : snapshot_) {
      ++pro_count;
      RefreshOne(pid, mem_total);
    }
  }
  ShowTotals(pro_count, mem_total);
}

void ProcessMonitor::RefreshOne(Pid pid, std::uint64_t& mem_total) {
  ScopedProcess h(os_.proc, pid, access::kRead);
  if (!h) return;
  const int index = RowOf(pid);
  // A new row's image is read before its path: had the process run another
  // file meanwhile, the path read next is already that file's.
  const FileIdentity image = index ? FileIdentity{} : os_.proc.ImageIdentity(h.get());
  if (!os_.proc.ModulePath(h.get(), module_path_)) return;
  TrimModulePath(module_path_);
  // The normalised path goes back into the same buffer: a steady pass
  // allocates nothing.
  module_path_ = CheckPath(std::move(module_path_), os_.dirs);
  const std::string& path = module_path_;
  if (path.empty()) return;
  if (index) {
    UpdateRow(index, pid, h.get(), mem_total);
  } else {
    CreateRow(pid, h.get(), path, image, mem_total);
  }
}

// A row whose PID now names a newer process is not the newer process's row:
// it keeps its figures until the sweep removes it.
bool ProcessMonitor::StillItsProcess(int index, ProcessHandle h) {
  std::uint64_t known = rows_.StartTime(index);
  std::uint64_t now = os_.proc.StartTime(h);
  return known == 0 || now == 0 || known == now;
}

void ProcessMonitor::UpdateRow(int index, Pid pid, ProcessHandle h, std::uint64_t& mem_total) {
  if (!StillItsProcess(index, h)) return;
  std::uint64_t ws = os_.proc.WorkingSet(h);
  mem_total += ws;
  rows_.SetMemoryK(index, MemoryK(ws));
  // The row may have moved if the list is sorted by memory.
  if (rows_.Sorted()) index = RowOf(pid);
  ShowPriority(index, h);
}

// The class is asked through the handle the pass already holds: one open a
// process a pass.
void ProcessMonitor::ShowPriority(int index, ProcessHandle h) {
  const std::uint32_t value = os_.proc.GetPriorityClass(h);
  rows_.SetPriorityClass(index, value);
  rows_.SetSubItem(index, cell::kPriority, PriorityName(value));
}

void ProcessMonitor::CreateRow(Pid pid, ProcessHandle h, const std::string& path, const FileIdentity& image,
                               std::uint64_t& mem_total) {
  std::string key = RowKey(pid);
  std::string name = os_.files.FindFileName(path);
  if (rows_.Add(key, name) == 0) return;
  // Each write below finds the row again: a sorted list may move it.
  rows_.SetStartTime(rows_.Find(key), os_.proc.StartTime(h));
  rows_.SetImage(rows_.Find(key), image);
  rows_.SetPid(rows_.Find(key), pid);
  std::uint64_t ws = os_.proc.WorkingSet(h);
  mem_total += ws;
  rows_.SetMemoryK(rows_.Find(key), MemoryK(ws));
  ShowPriority(rows_.Find(key), h);
  rows_.SetSubItem(rows_.Find(key), cell::kPath, path);
  if (auto image = IconStep(path, os_.icons, os_.images)) rows_.SetIcon(rows_.Find(key), *image);
  if (auto remark = LookupRemark(path, remark_file_, os_.dirs, os_.profile)) {
    rows_.SetSubItem(rows_.Find(key), cell::kKind, remark->kind);
    rows_.SetSubItem(rows_.Find(key), cell::kLevel, remark->level);
    rows_.SetSubItem(rows_.Find(key), cell::kRemark, remark->remark);
  }
}

void ProcessMonitor::ShowTotals(std::int64_t pro_count, std::uint64_t mem_total) {
  if (pro_count != LastProcessCount) {
    os_.status.SetPanelText(1, "进程数：" + std::to_string(pro_count));
    LastProcessCount = pro_count;
  }
  auto total = static_cast<std::int64_t>(mem_total);
  if (total != LastMemoryTotal) {
    os_.status.SetPanelText(2, "已用内存：" + FormatSize(mem_total, os_.sizes));
    LastMemoryTotal = total;
  }
}

// A row also goes when its process now runs another file than the row was
// made for (an exec, the file deleted or replaced) or can no longer be read:
// the next pass makes the row afresh, or none.  Where the system cannot tell
// files apart the identities are unknown alike and the row stays.
void ProcessMonitor::CheckProcess() {
  if (rows_.Count() == 0) return;
  // The walk goes from the last row to the first, so removing a row shifts
  // only rows already visited.
  for (int i = rows_.Count(); i >= 1; --i) {
    Pid pid = rows_.PidOf(i);
    ScopedProcess h(os_.proc, pid, access::kRead);
    if (!h || os_.proc.ExitCode(h.get()) != kStillActive || !StillItsProcess(i, h.get()) ||
        os_.proc.ImageIdentity(h.get()) != rows_.Image(i))
      rows_.Remove(i);
  }
}

}  // namespace kelvar
