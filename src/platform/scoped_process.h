// A process handle that lives within one operation: opened with the access
// the operation needs and closed on every way out of it.
#pragma once

#include "platform/process_control.h"

namespace kelvar {

class ScopedProcess {
 public:
  ScopedProcess(ProcessControl& proc, Pid pid, std::uint32_t access, bool inherit = false)
      : proc_(proc), handle_(proc.Open(pid, access, inherit)) {}
  ~ScopedProcess() {
    if (handle_) proc_.Close(handle_);
  }
  ScopedProcess(const ScopedProcess&) = delete;
  ScopedProcess& operator=(const ScopedProcess&) = delete;

  ProcessHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  ProcessControl& proc_;
  ProcessHandle handle_;
};

}  // namespace kelvar
