// The two per-process files the process control reads: /proc/PID/stat (state
// and start time), read once for each process met, and /proc/PID/statm
// (resident pages, and the sizes that show an exec), read for every process
// of every refresh.  The command name in stat is free text: it may hold
// spaces, parentheses and newlines, so the fields are counted from the LAST
// ')' on.  Reading and parsing allocate nothing.
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
// The sizes of a process's memory map in pages that only change when the
// process maps or unmaps memory, or runs another program: all of it, its
// text and its data (statm's first, fourth and sixth fields).
struct MemoryLayout {
  std::uint64_t size = 0, text = 0, data = 0;

  friend bool operator==(const MemoryLayout&, const MemoryLayout&) = default;
};

// The resident pages (second field) and the layout of a statm line.
bool ParseStatm(std::string_view text, std::uint64_t& pages, MemoryLayout& layout);

// Reads one small /proc file whole, in one read, into `buf`; the length read,
// or -1.  `proc_dir` is an open /proc directory, `rel` "PID/name".
long ReadSmallFile(int proc_dir, const char* rel, char* buf, std::size_t cap);
// Reads and parses /proc/PID/stat.
bool ReadStat(int proc_dir, Pid pid, ProcStat& out);

// Large enough for any stat line: 52 numeric fields and a 64-byte name.
inline constexpr std::size_t kStatBufferSize = 2048;

}  // namespace kelvar::procfs
