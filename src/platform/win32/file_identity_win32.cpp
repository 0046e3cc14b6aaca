// File identity on Windows; see file_identity_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/file_identity_win32.h"

namespace kelvar::win32 {

FileIdentity IdentityOfFile(const std::wstring& path) {
  if (path.empty()) return {};
  HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  if (!ok) return {};
  FileIdentity id;
  id.known = true;
  id.device = info.dwVolumeSerialNumber;
  id.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return id;
}

}  // namespace kelvar::win32
