// File-system redirection; see wow64_path.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {
namespace {

bool UnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring Folder(UINT(WINAPI* query)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH];
  UINT n = query(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& head) {
  return !head.empty() && text.size() >= head.size() &&
         CompareStringOrdinal(text.c_str(), static_cast<int>(head.size()), head.c_str(),
                              static_cast<int>(head.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring NativeFilePath(const std::wstring& path) {
  if (!UnderWow64()) return path;
  // The long-path form of a drive path is mapped as the path it wraps.
  const std::wstring long_prefix = L"\\\\?\\";
  if (path.size() > long_prefix.size() && path.compare(0, long_prefix.size(), long_prefix) == 0)
    return long_prefix + NativeFilePath(path.substr(long_prefix.size()));
  std::wstring system = Folder(&GetSystemDirectoryW);
  std::wstring windows = Folder(&GetWindowsDirectoryW);
  if (system.empty() || windows.empty() || !StartsWithNoCase(path, system)) return path;
  bool whole = path.size() == system.size() || path[system.size()] == L'\\';
  if (!whole) return path;
  return windows + L"\\Sysnative" + path.substr(system.size());
}

}  // namespace kelvar::win32
