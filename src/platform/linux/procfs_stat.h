// The two per-process files the process control reads: /proc/PID/stat (state
// and start time), read once for each process met, and /proc/PID/statm
// (resident pages), read for every process of every refresh.  The command
// name in stat is free text: it may hold spaces, parentheses and newlines,
// so the fields are counted from the LAST ')' on.  Reading and parsing
// allocate nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/process_source.h"

namespace kelvar::procfs {

struct ProcStat {
  char state = 0;                // field 3: R, S, D, Z, X, ...
  std::uint64_t start_time = 0;  // field 22: clock ticks after boot
};

// False when the text is not a stat line up to its start time.
bool ParseStat(std::string_view text, ProcStat& out);
// The resident pages of a statm line (its second field).
bool ParseStatmResident(std::string_view text, std::uint64_t& pages);

// Reads one small /proc file whole, in one read, into `buf`; the length read,
// or -1.  `proc_dir` is an open /proc directory, `rel` "PID/name".
long ReadSmallFile(int proc_dir, const char* rel, char* buf, std::size_t cap);
// Reads and parses /proc/PID/stat.
bool ReadStat(int proc_dir, Pid pid, ProcStat& out);

// Large enough for any stat line: 52 numeric fields and a 64-byte name.
inline constexpr std::size_t kStatBufferSize = 2048;

}  // namespace kelvar::procfs
