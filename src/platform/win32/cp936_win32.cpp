// Cp936Codec on Windows; see cp936_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/cp936_win32.h"

#include "platform/win32/wide_text.h"

namespace kelvar::win32 {
namespace {

constexpr UINT kCp936 = 936;
// The longest text converted; three times as many UTF-8 bytes still fit an int.
constexpr std::size_t kMaxBytes = 0x7FFFFFFF / 3;

}  // namespace

std::optional<std::string> Win32Cp936Codec::Encode(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const int size = static_cast<int>(utf8.size());
  const int wide_size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (wide_size <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wide_size);
  BOOL lossy = FALSE;
  const int n =
      WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, out.data(), n, nullptr, nullptr);
  return out;
}

// One pass each way into buffers of the most it can take: no byte gives more
// than one UTF-16 unit, and no unit more than three UTF-8 bytes.  The whole
// remark file is decoded for every new row.
std::string Win32Cp936Codec::Decode(std::string_view cp936) {
  if (cp936.empty() || cp936.size() > kMaxBytes) return {};
  const int size = static_cast<int>(cp936.size());
  std::wstring wide(cp936.size(), L'\0');
  const int n = MultiByteToWideChar(kCp936, 0, cp936.data(), size, wide.data(), size);
  if (n <= 0) return {};
  std::string out(3 * static_cast<std::size_t>(n), '\0');
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), 3 * n, nullptr, nullptr);
  out.resize(m > 0 ? static_cast<std::size_t>(m) : 0);
  return out;
}

}  // namespace kelvar::win32
