// ProcessControl on Win32: a thin wrapper over Toolhelp, OpenProcess, the
// PSAPI module and memory queries, GetProcessTimes, GetExitCodeProcess, the
// priority-class calls and TerminateProcess.  The access masks are the ones
// the core passes; the adapter adds no rights of its own.
#pragma once

#include "platform/process_control.h"

namespace kelvar::win32 {

class Win32ProcessControl : public ProcessControl {
 public:
  bool Snapshot(std::vector<Pid>& pids) override;
  ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) override;
  // The first module's file name; where the module list cannot be read (a
  // 64-bit process seen from the 32-bit build) the image name the kernel
  // keeps for the process.
  bool ModulePath(ProcessHandle h, std::string& path) override;
  // Not told here yet: unknown, so a file action cannot check and acts on
  // the path it was given.  (Windows refuses to delete or overwrite a file
  // while a process runs it.)
  FileIdentity ImageIdentity(ProcessHandle) override { return {}; }
  std::uint64_t WorkingSet(ProcessHandle h) override;
  std::uint64_t StartTime(ProcessHandle h) override;
  std::uint32_t ExitCode(ProcessHandle h) override;
  std::uint32_t GetPriorityClass(ProcessHandle h) override;
  bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) override;
  bool Terminate(ProcessHandle h, std::uint32_t exit_code) override;
  void Close(ProcessHandle h) override;
};

}  // namespace kelvar::win32
