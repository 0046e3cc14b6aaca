// The small system services; see system_queries_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/system_queries_win32.h"

#include <cctype>
#include <limits>

#include "platform/win32/file_identity_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"
#include "procinfo/profile_file.h"
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

// The whole content of a file; false when it cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string& out) {
  out.clear();
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char chunk[64 * 1024];
  DWORD got = 0;
  BOOL ok;
  while ((ok = ReadFile(f, chunk, sizeof chunk, &got, nullptr)) && got > 0) out.append(chunk, got);
  CloseHandle(f);
  return ok;
}

}  // namespace

namespace {

bool IsLongDrivePath(const std::string& path) {
  return path.size() >= 7 && path.compare(0, 4, "\\\\?\\") == 0 &&
         std::isalpha(static_cast<unsigned char>(path[4])) && path[5] == ':' && path[6] == '\\';
}

}  // namespace

std::string Win32FileSearch::FindFileName(const std::string& path) {
  // A wildcard would find another file's name; no real path holds one.  The
  // long-path form of a drive path ("\\?\C:\...") is the only "?" allowed.
  const std::size_t from = IsLongDrivePath(path) ? 4 : 0;
  if (path.empty() || path.find_first_of("*?", from) != std::string::npos) return {};
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(NativeFilePath(Widen(path)).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return {};
  FindClose(find);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
  return Narrow(data.cFileName);
}

FileIdentity Win32FileSearch::IdentityAt(const std::string& path) {
  return IdentityOfFile(NativeFilePath(Widen(path)));
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
  std::string bytes;
  if (!ReadWholeFile(Widen(file), bytes)) return {};
  if (bytes != kept_bytes_) {
    kept_text_ = ProfileFileText(bytes, codec_);
    kept_bytes_ = std::move(bytes);
  }
  return ProfileTextValue(kept_text_, section, key, codec_);
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
