// The whole process table in one system call: NtQuerySystemInformation with
// SystemProcessInformation, as the system's own task manager reads it.  One
// call a pass gives every process's PID, create time and working set; the
// older way (a Toolhelp snapshot, then opening each process and walking its
// module list in another process's memory) cost most of the program's time
// and as much again in the system's.
//
// The query's BasePriority is not used: Windows and Wine number it
// differently (Windows 4/6/8/10/13/24, Wine 1..6, and the two overlap), so
// the class is asked of the process itself.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/process_source.h"

namespace kelvar::win32 {

struct TableEntry {
  Pid pid = 0;
  std::uint64_t create_time = 0;  // FILETIME units, as GetProcessTimes gives it
  std::uint64_t working_set = 0;  // bytes
};

class ProcessTable {
 public:
  ProcessTable();

  // Reads the table anew; false (and an empty table) when the query fails.
  bool Read();
  // The processes in the order the system lists them.
  const std::vector<TableEntry>& Records() const { return records_; }
  // The record of `pid` in the last read, or nullptr.
  const TableEntry* Find(Pid pid) const;

 private:
  using Query = long(__stdcall*)(int, void*, unsigned long, unsigned long*);

  Query query_ = nullptr;
  std::vector<std::uint64_t> buffer_;  // 8-byte aligned, as the records need
  std::vector<TableEntry> records_;
  // (PID, place in records_), sorted by PID: found by binary search, and
  // refilled each read without allocating once it has grown.
  std::vector<std::pair<Pid, std::size_t>> by_pid_;
};

}  // namespace kelvar::win32
