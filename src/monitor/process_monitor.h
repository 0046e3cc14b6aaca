// The process monitor: the refresh pass, which turns the process source's
// records into process rows and keeps their memory and priority current;
// the sweep; RowOf, the lookup of a row by PID; and the totals of the last
// pass, which the form shows in its status bar.  Rows remember
// when their process started, so a PID taken by a newer process never lends
// its figures to the old row, and the file their process ran when they were
// made.  A row leaves the list at the sweep, when its process has ended, its
// PID names a newer process, or it can no longer be read.  A row whose
// process runs another file now (an exec, its file deleted or replaced) is
// made afresh (removed, and added again unless it can no longer be read) by
// whichever sees it first: the refresh, which reads a known row's figures
// alone and notices an exec that moved the memory layout, or the sweep, one
// look per row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/row_store.h"
#include "platform/directories.h"
#include "platform/file_search.h"
#include "platform/icons.h"
#include "platform/process_source.h"
#include "platform/profile_reader.h"

namespace kelvar {

// What the monitor needs from the system and from the window's image list.
struct MonitorPorts {
  ProcessSource& processes;
  FileSearch& files;
  Directories& dirs;
  ProfileReader& profile;
  IconSource& icons;
  ImageList& images;
};

// What a refresh pass counted: every process of the table, and the memory of
// those that have a row.
struct ProcessTotals {
  std::int64_t processes = 0;
  std::uint64_t memory_bytes = 0;
};

class ProcessMonitor {
 public:
  ProcessMonitor(RowStore& rows, MonitorPorts ports) : rows_(rows), os_(ports) {}

  void SetRemarkFile(std::string path) { remark_file_ = std::move(path); }
  const std::string& RemarkFile() const { return remark_file_; }

  void Refresh();
  void Sweep();
  int RowOf(Pid pid) const;
  // The totals of the last refresh pass; zero before the first.
  const ProcessTotals& Totals() const { return totals_; }

 private:
  void RefreshOne(Pid pid, std::uint64_t& mem_total);
  // Removes the row at `index` and makes one afresh from the process now.
  void MakeAfresh(int index, std::uint64_t& mem_total);
  void UpdateRow(int index, std::uint64_t& mem_total);
  void CreateRow(std::uint64_t& mem_total);

  RowStore& rows_;
  MonitorPorts os_;
  std::string remark_file_;
  ProcessTotals totals_;
  // Kept between passes to spare their allocations.
  std::vector<Pid> snapshot_;
  ProcessRecord record_;
};

// The memory cell: bytes in units of 1024, halves to the even neighbour.
std::uint64_t MemoryK(std::uint64_t bytes);

}  // namespace kelvar
