// The process source on Win32.
//
// A pass reads the process table with one system call (process_table_win32.h)
// and takes each process's create time and working set from it.  A process
// is opened, access-tested and its path read when it is first seen, as a new
// (PID, create time), and again at every pass while it has no read handle or
// no path; the read handle is held from then on, until the process leaves
// the table or its PID comes back with another create time.  The held handle
// pins the process object, so it answers for that process alone: its
// priority class (GetPriorityClass) and whether it still runs
// (WaitForSingleObject with no wait).  Since a handle keeps the rights it was
// opened with, the sweep's look also opens the process anew: one that can no
// longer be opened for reading loses its held handle, and with it its row.
//
// Ending and setting the class are real opens with their own rights, and
// check the create time through the same handle before they act, so they
// never reach a newer process that took the PID.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/process_source.h"
#include "platform/win32/process_table_win32.h"

namespace kelvar::win32 {

// The rights of each open: reading a process for its row (and, where the
// system grants it, waiting on it), ending it, setting its class.
inline constexpr DWORD kReadAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
inline constexpr DWORD kEndAccess = PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION;
inline constexpr DWORD kSetClassAccess = PROCESS_SET_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;

// The Windows priority-class value of a class, and back; 0 and unknown for
// anything else.
DWORD PriorityClassValue(Priority priority);
Priority PriorityOfClass(DWORD value);

class Win32ProcessSource : public ProcessSource {
 public:
  Win32ProcessSource() = default;
  ~Win32ProcessSource() override;
  Win32ProcessSource(const Win32ProcessSource&) = delete;
  Win32ProcessSource& operator=(const Win32ProcessSource&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  // The path is the first module's file name; where the module list cannot
  // be read (a 64-bit process seen from the 32-bit build) the image name
  // the kernel keeps for the process.  The image is the file the process
  // was started from as it was when first seen: a Windows process never
  // changes its image, but the file at its path may be renamed away and
  // another put there.
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override;
  Liveness Look(const ProcessId& process, FileIdentity& image, LookDepth depth) override;
  // TerminateProcess with exit code 0.
  bool End(const ProcessId& process) override;
  bool SetPriority(const ProcessId& process, Priority priority) override;

  // For tests: the processes kept with a held handle.
  std::size_t HeldProcesses() const;

 private:
  struct Kept {
    std::uint64_t create_time = 0;
    HANDLE held = nullptr;  // the read handle; null while the process cannot be opened
    std::string path;       // empty while the module path cannot be read
    FileIdentity image;     // of the image file, read with the path
  };

  // The kept process of a table entry, opened and read now if it is new or
  // not yet read whole.
  Kept& KeptOf(const TableEntry& entry);
  void Forget(std::unordered_map<Pid, Kept>::iterator it);
  // A process the last table does not list, opened for the look.
  static Liveness LookUnlisted(const ProcessId& process, FileIdentity& image);

  ProcessTable table_;
  std::unordered_map<Pid, Kept> kept_;
};

}  // namespace kelvar::win32
