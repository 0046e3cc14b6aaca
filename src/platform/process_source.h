// The process source: what the monitor and the commands ask of the system
// about processes, in their own terms.  A pass takes the process table and
// reads one record per process (who it is, whether it can be read, its
// working set and priority class, and, when asked, the file it runs); the
// sweep asks whether a process still runs and what it runs now; the
// commands end a process and set its class.  A process is named by its PID
// and its start, never by the PID alone, so a PID taken by a newer process
// is never mistaken for the old one.  Each adapter answers with its own
// system's best means: the Win32 adapter with kept process handles and the
// access masks of its calls, the procfs one with pidfds and /proc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace kelvar {

using Pid = std::int32_t;

// One process: its PID and when it started, in the system's own unit (0 when
// unknown, which matches any start).
struct ProcessId {
  Pid pid = 0;
  std::uint64_t start = 0;

  friend bool operator==(const ProcessId&, const ProcessId&) = default;
};

// Whether a process with start `now` is still the process `known` names.
inline bool SameProcess(const ProcessId& known, std::uint64_t now) {
  return known.start == 0 || now == 0 || known.start == now;
}

// The six priority classes of a process, and "unknown" when it cannot be
// read or has none of them.
enum class Priority : std::uint8_t { kUnknown, kRealtime, kHigh, kAboveNormal, kNormal, kBelowNormal, kIdle };

// What one pass learns of one process.
struct ProcessRecord {
  ProcessId id;
  std::uint64_t working_set = 0;  // bytes; 0 when it cannot be read
  Priority priority = Priority::kUnknown;
  // The file the process runs, by its identity as far as the source knows
  // it, and by its path as the system reports it (read only when the pass
  // asks for the image).
  std::string path;
  FileIdentity image;
};

// How fresh the answer of a look must be.  A command acts on it, and the
// system is asked now; the sweep asks after every row twice a second, and
// the source may answer from what it knows where the system vouches, more
// cheaply than a look, that nothing it rests on changed.
enum class LookDepth { kExact, kSweep };

// What became of a process the program knows.
enum class Liveness {
  kRunning,     // it runs and can be read
  kUnreadable,  // it runs, but can no longer be read
  kGone,        // it has ended, or its PID names a newer process
};

class ProcessSource {
 public:
  virtual ~ProcessSource() = default;

  // The PIDs of the process table in its own order; false when no table can
  // be read.
  virtual bool Snapshot(std::vector<Pid>& pids) = 0;
  // Fills `record` for the process `pid` names; false when it cannot be read
  // (it ended, it is another user's or the kernel's, or its image cannot be
  // named).  With `with_image` it also reads the path and identity of the
  // file the process runs, asked of the system now.
  virtual bool Read(Pid pid, bool with_image, ProcessRecord& record) = 0;
  // Whether `process` still runs and can be read; while it does, `image` is
  // the file it runs now (unknown where the system cannot tell files apart).
  virtual Liveness Look(const ProcessId& process, FileIdentity& image, LookDepth depth) = 0;
  // Ends `process`, and no newer process that took its PID; false when it
  // could not.
  virtual bool End(const ProcessId& process) = 0;
  // Sets the class of `process`; false when it could not.
  virtual bool SetPriority(const ProcessId& process, Priority priority) = 0;
};

}  // namespace kelvar
