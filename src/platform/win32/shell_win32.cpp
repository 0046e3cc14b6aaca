// The desktop on Win32; see shell_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/shell_win32.h"

#include "platform/win32/file_identity_win32.h"
#include "platform/win32/recycle_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {

SHELLEXECUTEINFOW PropertiesRequest(HWND owner, const std::wstring& file) {
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  sei.hwnd = owner;
  sei.lpVerb = L"properties";
  sei.lpFile = file.c_str();
  sei.lpParameters = L"";
  sei.lpDirectory = L"";
  sei.nShow = SW_HIDE;
  return sei;
}

FILEOP_FLAGS TrashFlags(FILEOP_FLAGS extra_flags) {
  return static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO | extra_flags);
}

SHFILEOPSTRUCTW TrashRequest(const std::wstring& from, FILEOP_FLAGS extra_flags) {
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = TrashFlags(extra_flags);
  return op;
}

void Win32Shell::ShowProperties(const std::string& file) {
  const std::wstring native = NativeFilePath(Widen(file));
  SHELLEXECUTEINFOW sei = PropertiesRequest(owner_, native);
  ShellExecuteExW(&sei);
  // The request asks for the process handle; nothing uses it, so it is not
  // left open.
  if (sei.hProcess) CloseHandle(sei.hProcess);
}

void Win32Shell::OpenFolder(const std::string& folder) {
  ShellExecuteW(owner_, L"open", Widen(folder).c_str(), L"", L"", kFolderShow);
}

void Win32Shell::OpenAddress(const std::string& address) {
  ShellExecuteW(owner_, L"open", Widen(address).c_str(), L"", L"", kAddressShow);
}

// The engine checks the file at the move itself.  Without it, the older
// call asks its question inside itself, so the last check comes before it.
// pFrom is a list of names ended by an empty one: the path and two NULs.
TrashResult Win32Shell::MoveToTrash(const std::string& file, const FileIdentity& confirmed) {
  std::wstring path = NativeFilePath(Widen(file));
  switch (RecycleChecked(owner_, path, confirmed, TrashFlags(extra_flags_), before_move_)) {
    case Recycled::kDone:
      return TrashResult::kDone;
    case Recycled::kNotTheFile:
      return TrashResult::kNotTheFile;
    case Recycled::kNoEngine:
      break;
  }
  if (before_move_) before_move_();
  if (!HoldsFile(path, confirmed)) return TrashResult::kNotTheFile;
  path.append(2, L'\0');
  SHFILEOPSTRUCTW op = TrashRequest(path, extra_flags_);
  SHFileOperationW(&op);
  return TrashResult::kDone;
}

}  // namespace kelvar::win32
