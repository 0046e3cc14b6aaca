// The shell: the properties sheet of a file, opening a folder or an address,
// and the file operation that sends a file to the Recycle Bin / trash.  The
// requests keep the fields of the Windows calls so the flags the program
// passes are visible and testable on every platform.
#pragma once

#include <cstdint>
#include <string>

namespace kelvar {

namespace see {
inline constexpr std::uint32_t kInvokeIdList = 0x000C;
inline constexpr std::uint32_t kNoCloseProcess = 0x0040;
inline constexpr std::uint32_t kFlagNoUi = 0x0400;
}  // namespace see

namespace sw {
inline constexpr int kHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowNoActivate = 4;
}  // namespace sw

namespace fo {
inline constexpr std::uint32_t kDelete = 3;
inline constexpr std::uint32_t kAllowUndo = 0x0040;
inline constexpr std::uint32_t kNoConfirmation = 0x0010;
}  // namespace fo

// SHELLEXECUTEINFO's fields that the program fills.
struct ShellExecuteInfo {
  std::uint32_t fMask = 0;
  std::uintptr_t hwnd = 0;
  std::string lpVerb;
  std::string lpFile;
  std::string lpParameters;
  std::string lpDirectory;
  int nShow = 0;
};

// SHFILEOPSTRUCT's fields that the program fills; pFrom is one path.
struct FileOperationRequest {
  std::uintptr_t hwnd = 0;
  std::uint32_t wFunc = 0;
  std::string pFrom;
  std::uint32_t fFlags = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  virtual void ShellExecuteEx(const ShellExecuteInfo& info) = 0;
  virtual void ShellExecute(std::uintptr_t hwnd, const std::string& verb, const std::string& file,
                            const std::string& parameters, const std::string& directory, int show) = 0;
  // Performs the request (moves the file to the Recycle Bin / trash); the
  // shell shows its own confirmation and errors.
  virtual void SHFileOperation(const FileOperationRequest& request) = 0;
};

}  // namespace kelvar
