// The desktop on Win32, through the shell: the properties sheet
// (ShellExecuteExW with the "properties" verb), "open" for a folder or an
// address (ShellExecuteW) and the delete to the Recycle Bin
// (SHFileOperationW with FOF_ALLOWUNDO; the shell asks and reports itself).
// The requests are built by the functions below, so their flags can be
// checked.  The only thing a caller may add is extra file-operation flags,
// which tests use to pass FOF_NOCONFIRMATION (the program itself adds
// none).  The file a request acts on in this process is reached through
// NativeFilePath, so the 32-bit build deletes or describes the file the row
// names.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

#include "platform/desktop.h"

namespace kelvar::win32 {

// The properties request for `file` (kept alive by the caller).
SHELLEXECUTEINFOW PropertiesRequest(HWND owner, const std::wstring& file);
// The delete-to-the-Recycle-Bin request for `from` (the path and two NULs).
SHFILEOPSTRUCTW TrashRequest(const std::wstring& from, FILEOP_FLAGS extra_flags);
// How a folder and an address are shown.
inline constexpr int kFolderShow = SW_SHOWNORMAL;
inline constexpr int kAddressShow = SW_SHOWNOACTIVATE;

class Win32Shell : public Desktop {
 public:
  explicit Win32Shell(FILEOP_FLAGS extra_file_op_flags = 0) : extra_flags_(extra_file_op_flags) {}
  // The window the shell's own windows belong to.
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowProperties(const std::string& file) override;
  void OpenFolder(const std::string& folder) override;
  void OpenAddress(const std::string& address) override;
  void MoveToTrash(const std::string& file) override;

 private:
  FILEOP_FLAGS extra_flags_;
  HWND owner_ = nullptr;
};

}  // namespace kelvar::win32
