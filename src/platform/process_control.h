// Process control: what the monitor and the commands need from the operating
// system to see and steer a process.  It keeps the shape of the Windows calls
// the program is written against (open with an access mask, query, close), so
// the core reads like its rules and the Win32 adapter stays a thin wrapper;
// the procfs adapter answers the same questions from /proc.  Beside the
// Windows calls it answers one question of its own: which file the process
// runs now, so a file action can check that the file at a path is still
// that file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace kelvar {

using Pid = std::int32_t;
using ProcessHandle = std::uintptr_t;  // 0 means "no handle"

namespace access {
inline constexpr std::uint32_t kTerminate = 0x0001;
inline constexpr std::uint32_t kVmRead = 0x0010;
inline constexpr std::uint32_t kSetInformation = 0x0200;
inline constexpr std::uint32_t kQueryInformation = 0x0400;
inline constexpr std::uint32_t kQueryLimited = 0x1000;
// Reading a process for its row: query information and read memory.
inline constexpr std::uint32_t kRead = kQueryInformation | kVmRead;
}  // namespace access

// The exit code of a process that has not ended.
inline constexpr std::uint32_t kStillActive = 259;

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;

  // The process table in snapshot order; false when no snapshot can be taken.
  virtual bool Snapshot(std::vector<Pid>& pids) = 0;
  // 0 when the process cannot be opened with that access.
  virtual ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) = 0;
  // The file name of the first module, as the system reports it; false when
  // the module list cannot be read.
  virtual bool ModulePath(ProcessHandle h, std::string& path) = 0;
  // The file the process runs, asked of the system now; needs the rights of
  // ModulePath.  Unknown when it cannot be read, or when the system cannot
  // tell files apart.
  virtual FileIdentity ImageIdentity(ProcessHandle h) = 0;
  // Working set in bytes; 0 when it cannot be read.
  virtual std::uint64_t WorkingSet(ProcessHandle h) = 0;
  // When the process started, in the system's own unit; 0 when unknown.
  // Together with the PID it names one process: a PID used again by a newer
  // process comes with another start time.
  virtual std::uint64_t StartTime(ProcessHandle h) = 0;
  // kStillActive while the process runs.
  virtual std::uint32_t ExitCode(ProcessHandle h) = 0;
  // The Windows priority-class value; 0 on failure (also for handle 0).
  virtual std::uint32_t GetPriorityClass(ProcessHandle h) = 0;
  virtual bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) = 0;
  virtual bool Terminate(ProcessHandle h, std::uint32_t exit_code) = 0;
  virtual void Close(ProcessHandle h) = 0;
};

}  // namespace kelvar
