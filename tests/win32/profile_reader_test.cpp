// The remark-file reader both programs share (procinfo/profile_file.h, here
// with the Win32 code-page converter) against GetPrivateProfileStringW on
// the same files: the rules (support/profile_cases.h), the 254-byte cut,
// byte-order marks and code page 936 must read as Windows reads them.
// Windows' answer is the value GetPrivateProfileStringW gives through a
// 255-character buffer, cut as the ANSI call cuts it: at the last whole
// character within 254 bytes of code page 936.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system_queries_win32.h"
#include "platform/win32/wide_text.h"
#include "support/profile_cases.h"
#include "test_support.h"

namespace kelvar::win32 {
namespace {

using kelvar::test::ProfileCase;

// How a case's file is stored.
enum class Form {
  kCp936,          // code page 936, no mark
  kUtf8,           // EF BB BF, then UTF-8
  kUtf16Le,        // FF FE, then UTF-16LE
  kUtf16Be,        // FE FF, then UTF-16BE
  kFfFeThenCp936,  // the bytes FF FE, then code page 936
};

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

const std::string kHan200 = Repeat("汉", 200);

// Texts in UTF-8 here, stored as their form says.
const struct {
  ProfileCase c;
  Form form = Form::kCp936;
} kCases[] = {
    {{"Chinese key", "[windir]\r\n记事本.exe=可选|记事本\r\n", "windir", "记事本.exe", "可选|记事本"}},
    {{"double-byte value cut at a whole character", "[s]\r\na=" + kHan200, "s", "a", Repeat("汉", 127)}},
    {{"odd start: cut before the half character", "[s]\r\na=x" + kHan200, "s", "a", "x" + Repeat("汉", 126)}},
    {{"trail byte that looks like ']' in a section name", "[乚x]\r\na=1\r\n", "乚x", "a", "1"}},
    {{"trail byte that looks like a backslash in a key", "[s]\r\n乗\\俓.exe=v\r\n", "s", "乗\\俓.exe", "v"}},
    {{"letters beyond ASCII keep their case", "[s]\r\nΩＡ=1\r\n", "s", "ωａ", ""}},
    {{"UTF-8 file with a byte-order mark", "[s]\r\na=值\r\n", "s", "a", "值"}, Form::kUtf8},
    {{"UTF-16LE file", "[sysdir]\r\n核心.exe=核心|内核\r\n", "sysdir", "核心.exe", "核心|内核"},
     Form::kUtf16Le},
    {{"UTF-16BE file", "[sysdir]\r\na=重要|x\r\n", "sysdir", "a", "重要|x"}, Form::kUtf16Be},
    {{"a code-page file that starts with FF FE reads as UTF-16", "\r\n[s]\r\na=核心\r\n", "s", "a", ""},
     Form::kFfFeThenCp936},
    {{"UTF-8 value cut at 254 bytes of code page 936", "[s]\r\na=" + kHan200, "s", "a", Repeat("汉", 127)},
     Form::kUtf8},
    {{"UTF-8 value cut before a character that would cross 254 bytes", "[s]\r\na=x" + kHan200, "s", "a",
      "x" + Repeat("汉", 126)},
     Form::kUtf8},
    {{"UTF-16 value cut at 254 bytes of code page 936", "[s]\r\na=" + kHan200, "s", "a", Repeat("汉", 127)},
     Form::kUtf16Le},
    {{"characters outside code page 936 count a byte per UTF-16 unit",
      "[s]\r\na=" + Repeat("ő", 100) + Repeat("😀", 100), "s", "a", Repeat("ő", 100) + Repeat("😀", 77)},
     Form::kUtf8},
};

std::string InCodePage(const std::string& utf8) {
  std::wstring wide = Widen(utf8);
  int n =
      WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string InUtf16(const std::string& utf8, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : Widen(utf8)) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
  }
  return out;
}

std::string Stored(const std::string& text, Form form) {
  switch (form) {
    case Form::kUtf8:
      return "\xEF\xBB\xBF" + text;
    case Form::kUtf16Le:
    case Form::kUtf16Be:
      return InUtf16(text, form == Form::kUtf16Be);
    case Form::kFfFeThenCp936:
      return "\xFF\xFE" + InCodePage(text);
    case Form::kCp936:
      break;
  }
  return InCodePage(text);
}

std::string WriteCase(int number, const std::string& bytes) {
  std::wstring folder = test::TestFolder() + L"\\profiles";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring path = folder + L"\\case" + std::to_wstring(number) + L".ini";
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return Narrow(path);
}

// The longest head of `text` that fits `max_bytes` of code page 936, never
// cutting a character (a surrogate pair stays whole).
std::wstring_view FitInCp936(std::wstring_view text, std::size_t max_bytes) {
  std::size_t used = 0, i = 0;
  while (i < text.size()) {
    std::size_t len = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
    int bytes =
        WideCharToMultiByte(936, 0, text.data() + i, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || used + static_cast<std::size_t>(bytes) > max_bytes) break;
    used += static_cast<std::size_t>(bytes);
    i += len;
  }
  return text.substr(0, i);
}

TEST(ProfileReader, ReadsAsGetPrivateProfileString) {
  ASSERT_EQ(GetACP(), 936u) << "run the Windows tests with LC_ALL=zh_CN.UTF-8";
  Win32ProfileReader reader;
  int number = 0;
  auto check = [&](const ProfileCase& c, Form form) {
    SCOPED_TRACE(c.what);
    const std::string path = WriteCase(++number, Stored(c.text, form));
    wchar_t buf[255];
    DWORD n = GetPrivateProfileStringW(Widen(c.section).c_str(), Widen(c.key).c_str(), L"", buf, 255,
                                       Widen(path).c_str());
    EXPECT_EQ(Narrow(FitInCp936(std::wstring_view(buf, n), 254)), c.value) << "Windows";
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.value);
  };
  for (const ProfileCase& c : kelvar::test::kProfileCases) check(c, Form::kCp936);
  for (const auto& c : kCases) check(c.c, c.form);
}

// Registered once more to run under a locale whose ANSI code page is not
// 936 (KELVAR_ANSI_NOT_936 set): the code-page file still reads as 936.
TEST(RemarkFile, ReadsAsCodePage936WhateverTheSystemCodePage) {
  if (GetEnvironmentVariableW(L"KELVAR_ANSI_NOT_936", nullptr, 0) > 0) {
    ASSERT_NE(GetACP(), 936u);
  }
  const std::string path =
      WriteCase(0, InCodePage("[sysdir]\r\n核心.exe=核心|内核\r\n[windir]\r\nexplorer.exe=重要|外壳\r\n"));
  Win32ProfileReader reader;
  EXPECT_EQ(reader.GetString("sysdir", "核心.exe", path), "核心|内核");
  EXPECT_EQ(reader.GetString("windir", "explorer.exe", path), "重要|外壳");
}

}  // namespace
}  // namespace kelvar::win32
