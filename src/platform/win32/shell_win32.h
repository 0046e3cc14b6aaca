// The shell on Win32: the properties sheet (ShellExecuteExW), "open" for a
// folder or an address (ShellExecuteW) and the delete to the Recycle Bin
// (SHFileOperationW).  The requests come from the core as built; the only
// thing the adapter may add is extra file-operation flags, which tests use
// to pass FOF_NOCONFIRMATION (the program itself adds none).  The file a
// request acts on in this process is reached through NativeFilePath, so the
// 32-bit build deletes or describes the file the row names.
#pragma once

#include <cstdint>

#include "platform/shell.h"

namespace kelvar::win32 {

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(std::uint32_t extra_file_op_flags = 0) : extra_flags_(extra_file_op_flags) {}

  void ShellExecuteEx(const ShellExecuteInfo& info) override;
  void ShellExecute(std::uintptr_t hwnd, const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory, int show) override;
  void SHFileOperation(const FileOperationRequest& request) override;

 private:
  std::uint32_t extra_flags_;
};

}  // namespace kelvar::win32
