// The refresh pass and the sweep; see process_monitor.h.
#include "monitor/process_monitor.h"

#include <utility>

#include "procinfo/icon_step.h"
#include "procinfo/ini.h"
#include "procinfo/sys_path.h"

namespace kelvar {
std::uint64_t MemoryK(std::uint64_t bytes) {
  std::uint64_t k = bytes / 1024, rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && (k & 1))) ++k;
  return k;
}

int ProcessMonitor::RowOf(Pid pid) const { return rows_.RowOf(pid); }

void ProcessMonitor::Refresh() {
  ProcessTotals totals;
  if (os_.processes.Snapshot(snapshot_)) {
    for (Pid pid : snapshot_) {
      ++totals.processes;
      RefreshOne(pid, totals.memory_bytes);
    }
  }
  totals_ = totals;
}

// A known row takes the pass's figures; only a new one reads the image.
void ProcessMonitor::RefreshOne(Pid pid, std::uint64_t& mem_total) {
  const int index = rows_.RowOf(pid);
  if (!os_.processes.Read(pid, index == kNoRow, record_)) return;
  if (index == kNoRow) {
    CreateRow(mem_total);
  } else if (SameProcess(rows_.Row(index).id, record_.id.start) && record_.image != rows_.Row(index).image) {
    MakeAfresh(index, mem_total);
  } else {
    UpdateRow(index, mem_total);
  }
}

void ProcessMonitor::MakeAfresh(int index, std::uint64_t& mem_total) {
  const Pid pid = rows_.Row(index).id.pid;
  rows_.Remove(index);
  if (os_.processes.Read(pid, true, record_)) CreateRow(mem_total);
}

// A row whose PID now names a newer process is not the newer process's row:
// it keeps its figures until the sweep removes it.
void ProcessMonitor::UpdateRow(int index, std::uint64_t& mem_total) {
  if (!SameProcess(rows_.Row(index).id, record_.id.start)) return;
  mem_total += record_.working_set;
  rows_.SetFigures(index, MemoryK(record_.working_set), record_.priority);
}

void ProcessMonitor::CreateRow(std::uint64_t& mem_total) {
  TrimModulePath(record_.path);
  std::string path = CheckPath(std::exchange(record_.path, {}), os_.dirs);
  if (path.empty()) return;
  ProcessRow row;
  row.id = record_.id;
  row.memory_k = MemoryK(record_.working_set);
  row.priority = record_.priority;
  row.image = record_.image;
  row.name = os_.files.FindFileName(path);
  if (auto image = IconStep(path, os_.icons, os_.images)) row.icon = *image;
  if (auto remark = LookupRemark(path, remark_file_, os_.dirs, os_.profile)) {
    row.kind = std::move(remark->kind);
    row.level = std::move(remark->level);
    row.remark = std::move(remark->remark);
  }
  row.path = std::move(path);
  if (rows_.Add(std::move(row)) != kNoRow) mem_total += record_.working_set;
}

// Where the system cannot tell files apart the identities are unknown alike
// and the row stays.  Rows are made afresh after the walk, which goes from
// the last row to the first so that removing a row shifts only rows already
// visited: a row added during the walk could take the place of one not yet
// visited.
void ProcessMonitor::Sweep() {
  std::vector<Pid> changed;
  for (int i = rows_.Count() - 1; i >= 0; --i) {
    const ProcessRow& row = rows_.Row(i);
    FileIdentity now;
    if (os_.processes.Look(row.id, now, LookDepth::kSweep) != Liveness::kRunning)
      rows_.Remove(i);
    else if (now != row.image)
      changed.push_back(row.id.pid);
  }
  std::uint64_t not_shown = 0;
  for (Pid pid : changed)
    if (const int index = rows_.RowOf(pid); index != kNoRow) MakeAfresh(index, not_shown);
}

}  // namespace kelvar
