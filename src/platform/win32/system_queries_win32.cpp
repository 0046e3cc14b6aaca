// The small system services; see system_queries_win32.h.
#include "platform/win32/win32_api.h"
#include "platform/win32/system_queries_win32.h"

#include <limits>

#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"
#include "procinfo/profile_text.h"
#include "procinfo/size_text.h"

namespace kelvar::win32 {
namespace {

// A directory query that grows its buffer when the path does not fit.
template <typename Query>
std::string DirectoryFrom(Query query) {
  std::wstring buf(MAX_PATH, L'\0');
  UINT n = query(buf.data(), static_cast<UINT>(buf.size()));
  if (n >= buf.size()) {
    buf.assign(n + 1, L'\0');
    n = query(buf.data(), static_cast<UINT>(buf.size()));
    if (n >= buf.size()) return {};
  }
  return Narrow(std::wstring_view(buf.data(), n));
}

// The code page a value of the file is measured in.
UINT ProfileCodePage(const std::wstring& file) {
  HANDLE f = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return CP_ACP;
  unsigned char bom[3] = {};
  DWORD got = 0;
  BOOL ok = ReadFile(f, bom, 3, &got, nullptr);
  CloseHandle(f);
  bool utf8 = ok && got == 3 && bom[0] == 0xEF && bom[1] == 0xBB && bom[2] == 0xBF;
  return utf8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

std::string Win32FileSearch::FindFileName(const std::string& path) {
  // A wildcard would find another file's name; no real path holds one.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return {};
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(NativeFilePath(Widen(path)).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return {};
  FindClose(find);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
  return Narrow(data.cFileName);
}

std::string Win32Directories::SystemDirectory() {
  return DirectoryFrom([](wchar_t* buf, UINT size) { return GetSystemDirectoryW(buf, size); });
}

std::string Win32Directories::WindowsDirectory() {
  return DirectoryFrom([](wchar_t* buf, UINT size) { return GetWindowsDirectoryW(buf, size); });
}

std::string Win32Directories::ProgramFolder() {
  std::wstring buf(MAX_PATH, L'\0');
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()))) >= buf.size()) {
    buf.assign(buf.size() * 2, L'\0');
  }
  std::wstring exe(buf.data(), n);
  std::size_t slash = exe.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  // "C:\KelvarPM.exe" lives in "C:\", which keeps its backslash.
  bool root = slash == 2 && exe[1] == L':';
  return Narrow(exe.substr(0, root ? slash + 1 : slash));
}

std::string Win32ProfileReader::GetString(const std::string& section, const std::string& key,
                                          const std::string& file) {
  std::wstring wfile = Widen(file);
  std::wstring buf(32768, L'\0');
  DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", buf.data(),
                                     static_cast<DWORD>(buf.size()), wfile.c_str());
  if (n == 0) return {};
  std::wstring_view value(buf.data(), n);
  return Narrow(FitInCodePage(value, ProfileCodePage(wfile), kProfileValueLimit));
}

// The shell takes a signed count, so counts from 2^63 on would show as
// negative or zero; and it names bytes in the user's language, where the
// program's window is Chinese on every Windows.  Those two ranges are
// rendered here, as the shell renders them on a Chinese Windows.
std::optional<std::string> Win32SizeFormatter::FormatByteSize(std::uint64_t bytes) {
  constexpr std::uint64_t kKilobyte = 1024;
  if (bytes < kKilobyte || bytes > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()))
    return FormatByteSizePortable(bytes);
  wchar_t buf[100];
  if (!StrFormatByteSizeW(static_cast<LONGLONG>(bytes), buf, 100)) return std::nullopt;
  return Narrow(buf);
}

}  // namespace kelvar::win32
