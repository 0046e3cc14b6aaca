// The desktop on Win32, through the shell: the properties sheet
// (ShellExecuteExW with the "properties" verb), "open" for a folder or an
// address (ShellExecuteW) and the move to the Recycle Bin with FOF_ALLOWUNDO,
// where the shell asks and reports itself.  The move goes through the shell's
// file-operation engine, which lets it check the file just before it is
// moved (recycle_win32.h); where the system has no engine (Wine), through
// SHFileOperationW, checked just before the call.  The requests are built by
// the functions below, so their flags can be checked.  The only thing a
// caller may add is extra file-operation flags, which tests use to pass
// FOF_NOCONFIRMATION (the program itself adds none).  The file a request
// acts on in this process is reached through NativeFilePath, so the 32-bit
// build deletes or describes the file the row names.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <string>

#include "platform/desktop.h"

namespace kelvar::win32 {

// The properties request for `file` (kept alive by the caller).
SHELLEXECUTEINFOW PropertiesRequest(HWND owner, const std::wstring& file);
// The delete-to-the-Recycle-Bin flags, and the request for `from` (the path
// and two NULs).
FILEOP_FLAGS TrashFlags(FILEOP_FLAGS extra_flags);
SHFILEOPSTRUCTW TrashRequest(const std::wstring& from, FILEOP_FLAGS extra_flags);
// How a folder and an address are shown.
inline constexpr int kFolderShow = SW_SHOWNORMAL;
inline constexpr int kAddressShow = SW_SHOWNOACTIVATE;

class Win32Shell : public Desktop {
 public:
  explicit Win32Shell(FILEOP_FLAGS extra_file_op_flags = 0) : extra_flags_(extra_file_op_flags) {}
  // The window the shell's own windows belong to.
  void SetOwner(HWND owner) { owner_ = owner; }
  // Runs once the shell has its answer, before the file is checked and
  // moved; tests put another file at the path there.
  void SetBeforeMove(std::function<void()> before_move) { before_move_ = std::move(before_move); }

  void ShowProperties(const std::string& file) override;
  void OpenFolder(const std::string& folder) override;
  void OpenAddress(const std::string& address) override;
  TrashResult MoveToTrash(const std::string& file, const FileIdentity& confirmed) override;

 private:
  FILEOP_FLAGS extra_flags_;
  HWND owner_ = nullptr;
  std::function<void()> before_move_;
};

}  // namespace kelvar::win32
