// ProcessControl on Win32.
//
// A pass reads the process table with one system call (process_table_win32.h)
// and takes each process's create time and working set from it.  A process
// is opened, access-tested and its path read only when it is first seen, as
// a new (PID, create time); the read handle is held from then on, until the
// process leaves the table or its PID comes back with another create time.
// The held handle pins the process object, so it answers for that process
// alone: its priority class (GetPriorityClass) and whether it still runs
// (WaitForSingleObject with no wait).  A process that could not be opened is
// remembered as such and not tried again while it lives.
//
// The core opens a process for reading many times a pass; such an open is
// answered from what is kept and gives a handle of this adapter (odd, where
// kernel handles are multiples of four) that Close lets go of without closing
// anything.  Every other open (ending, setting the class, an open with
// inheritance) is a real OpenProcess with exactly the core's access mask.
#pragma once

#include <string>
#include <unordered_map>

#include "platform/process_control.h"
#include "platform/win32/process_table_win32.h"

namespace kelvar::win32 {

class Win32ProcessControl : public ProcessControl {
 public:
  Win32ProcessControl() = default;
  ~Win32ProcessControl() override;
  Win32ProcessControl(const Win32ProcessControl&) = delete;
  Win32ProcessControl& operator=(const Win32ProcessControl&) = delete;

  bool Snapshot(std::vector<Pid>& pids) override;
  ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) override;
  // The first module's file name; where the module list cannot be read (a
  // 64-bit process seen from the 32-bit build) the image name the kernel
  // keeps for the process.
  bool ModulePath(ProcessHandle h, std::string& path) override;
  // Not told here yet: unknown, so a file action cannot check and acts on
  // the path it was given.  (Windows refuses to delete or overwrite a file
  // while a process runs it.)
  // The file the process was started from, as it was when the process was
  // first seen: a Windows process never changes its image, but the file at
  // its path may be renamed away and another put there.
  FileIdentity ImageIdentity(ProcessHandle h) override;
  std::uint64_t WorkingSet(ProcessHandle h) override;
  std::uint64_t StartTime(ProcessHandle h) override;
  std::uint32_t ExitCode(ProcessHandle h) override;
  std::uint32_t GetPriorityClass(ProcessHandle h) override;
  bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) override;
  bool Terminate(ProcessHandle h, std::uint32_t exit_code) override;
  void Close(ProcessHandle h) override;

  // For tests: the processes kept with a held handle.
  std::size_t HeldProcesses() const;

 private:
  struct Kept {
    std::uint64_t create_time = 0;
    void* held = nullptr;  // the read handle; null when the process could not be opened
    std::string path;      // empty when the module path could not be read
    FileIdentity image;    // of the image file, read at first sight
  };

  // The kept process of `pid` as the last table shows it, opened and read
  // now if it is new; nullptr when the table does not list the PID.
  Kept* KeptOf(Pid pid);
  // The kept process a handle of this adapter names, or nullptr.
  Kept* Held(ProcessHandle h);
  void Forget(std::unordered_map<Pid, Kept>::iterator it);

  ProcessTable table_;
  std::unordered_map<Pid, Kept> kept_;
};

}  // namespace kelvar::win32
