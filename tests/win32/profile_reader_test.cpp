// The remark-file reader both programs share (procinfo/profile_file.h, here
// with the Win32 code-page converter) against GetPrivateProfileStringW on
// the same files: the rules (case, duplicates, line ends, comments, quotes,
// blanks, the 254-byte cut, byte-order marks, code page 936) must read as
// Windows reads them.  Windows' answer is the value GetPrivateProfileStringW
// gives through a 255-character buffer, cut as the ANSI call cuts it: at the
// last whole character within 254 bytes of code page 936.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system_queries_win32.h"
#include "platform/win32/wide_text.h"
#include "test_support.h"

namespace kelvar::win32 {
namespace {

// How a case's file is stored.
enum class Form {
  kCp936,          // code page 936, no mark
  kUtf8,           // EF BB BF, then UTF-8
  kUtf16Le,        // FF FE, then UTF-16LE
  kUtf16Be,        // FE FF, then UTF-16BE
  kFfFeThenCp936,  // the bytes FF FE, then code page 936
};

struct ProfileCase {
  const char* name;
  std::string file;  // UTF-8 here; stored as `form` says
  const char* section;
  const char* key;
  std::string expected;
  Form form = Form::kCp936;
};

const std::string kLong300(300, 'x');
const std::string kChinese200 = [] {
  std::string s;
  for (int i = 0; i < 200; ++i) s += "汉";
  return s;
}();

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const ProfileCase kCases[] = {
    {"plain", "[sysdir]\r\nsvchost.exe=重要|服务宿主\r\n", "sysdir", "svchost.exe", "重要|服务宿主"},
    {"section and key ignore case", "[SysDir]\r\nSvcHost.EXE=重要|x\r\n", "SYSDIR", "svchost.exe", "重要|x"},
    {"first of two keys wins", "[s]\r\na=1\r\na=2\r\n", "s", "a", "1"},
    {"only the first section of a name counts", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nb=3\r\n", "s", "b", ""},
    {"LF line ends", "[s]\na=1\nb=2\n", "s", "b", "2"},
    {"CR line ends", "[s]\ra=1\rb=2\r", "s", "b", "2"},
    {"no line end at the end", "[s]\r\na=last", "s", "a", "last"},
    {"comment line", "[s]\r\n;a=1\r\na=2\r\n", "s", "a", "2"},
    {"no comments after a value", "[s]\r\na=1 ;note\r\n", "s", "a", "1 ;note"},
    {"double quotes dropped", "[s]\r\na=\"quoted\"\r\n", "s", "a", "quoted"},
    {"single quotes dropped", "[s]\r\na='quoted'\r\n", "s", "a", "quoted"},
    {"blanks inside quotes kept", "[s]\r\na=\" in \"\r\n", "s", "a", " in "},
    {"unmatched quote kept", "[s]\r\na=\"open\r\n", "s", "a", "\"open"},
    {"blanks around names and values", "  [s]  \r\n   a   =   v v   \r\n", "s", "a", "v v"},
    {"blanks inside the brackets", "[ s ]\r\na=1\r\n", "s", "a", "1"},
    {"blanks around the asked names", "[s]\r\na=1\r\n", " s ", " a ", "1"},
    {"blank lines", "\r\n\r\n[s]\r\n\r\na=1\r\n\r\n", "s", "a", "1"},
    {"empty value", "[s]\r\na=\r\n", "s", "a", ""},
    {"missing section", "[s]\r\na=1\r\n", "t", "a", ""},
    {"section without closing bracket", "[s\r\na=1\r\n", "s", "a", ""},
    {"Chinese key", "[windir]\r\n记事本.exe=可选|记事本\r\n", "windir", "记事本.exe", "可选|记事本"},
    {"300-byte value cut to 254", "[s]\r\na=" + kLong300 + "\r\n", "s", "a", std::string(254, 'x')},
    {"double-byte value cut at a whole character", "[s]\r\na=" + kChinese200 + "\r\n", "s", "a",
     Repeat("汉", 127)},
    {"odd start: cut before the half character", "[s]\r\na=x" + kChinese200 + "\r\n", "s", "a",
     "x" + Repeat("汉", 126)},
    {"trail byte that looks like ']' in a section name", "[乚x]\r\na=1\r\n", "乚x", "a", "1"},
    {"trail byte that looks like a backslash in a key", "[s]\r\n乗\\俓.exe=v\r\n", "s", "乗\\俓.exe", "v"},
    {"value of blanks only", "[s]\r\na=   \r\n", "s", "a", ""},
    {"mismatched quotes kept", "[s]\r\na=\"x'\r\n", "s", "a", "\"x'"},
    {"letters beyond ASCII keep their case", "[s]\r\nΩＡ=1\r\n", "s", "ωａ", ""},
    {"a value ends at a NUL", std::string("[s]\r\na=x\0y\r\n", 12), "s", "a", "x"},
    {"CR CR LF", "[s]\r\r\na=1\r\r\n", "s", "a", "1"},
    {"UTF-8 file with a byte-order mark", "[s]\r\na=值\r\n", "s", "a", "值", Form::kUtf8},
    {"a lone CR ends a line", "[s]\ra=1\nb=2\rc=3\n", "s", "b", "2"},
    {"a lone CR ends the line before it", "[s]\ra=1\nb=2\rc=3\n", "s", "c", "3"},
    {"the empty key finds a nameless entry", "[s]\r\n=v\r\n", "s", "", "v"},
    {"UTF-16LE file", "[sysdir]\r\n核心.exe=核心|内核\r\n", "sysdir", "核心.exe", "核心|内核",
     Form::kUtf16Le},
    {"UTF-16BE file", "[sysdir]\r\na=重要|x\r\n", "sysdir", "a", "重要|x", Form::kUtf16Be},
    {"a code-page file that starts with FF FE reads as UTF-16", "\r\n[s]\r\na=核心\r\n", "s", "a", "",
     Form::kFfFeThenCp936},
    {"UTF-8 value cut at 254 bytes of code page 936", "[s]\r\na=" + kChinese200 + "\r\n", "s", "a",
     Repeat("汉", 127), Form::kUtf8},
    {"UTF-8 value cut before a character that would cross 254 bytes", "[s]\r\na=x" + kChinese200 + "\r\n",
     "s", "a", "x" + Repeat("汉", 126), Form::kUtf8},
    {"UTF-16 value cut at 254 bytes of code page 936", "[s]\r\na=" + kChinese200 + "\r\n", "s", "a",
     Repeat("汉", 127), Form::kUtf16Le},
    {"characters outside code page 936 count a byte per UTF-16 unit",
     "[s]\r\na=" + Repeat("ő", 100) + Repeat("😀", 100) + "\r\n", "s", "a", Repeat("ő", 100) + Repeat("😀", 77),
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

// The case's file as stored.
std::string Stored(const ProfileCase& c) {
  switch (c.form) {
    case Form::kUtf8:
      return "\xEF\xBB\xBF" + c.file;
    case Form::kUtf16Le:
      return InUtf16(c.file, false);
    case Form::kUtf16Be:
      return InUtf16(c.file, true);
    case Form::kFfFeThenCp936:
      return "\xFF\xFE" + InCodePage(c.file);
    case Form::kCp936:
      break;
  }
  return InCodePage(c.file);
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

std::string WindowsAnswer(const ProfileCase& c, const std::string& path) {
  wchar_t buf[255];
  DWORD n = GetPrivateProfileStringW(Widen(c.section).c_str(), Widen(c.key).c_str(), L"", buf, 255,
                                     Widen(path).c_str());
  return Narrow(FitInCp936(std::wstring_view(buf, n), 254));
}

TEST(ProfileReader, ReadsAsGetPrivateProfileString) {
  ASSERT_EQ(GetACP(), 936u) << "run the Windows tests with LC_ALL=zh_CN.UTF-8";
  Win32ProfileReader reader;
  int number = 0;
  for (const ProfileCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string path = WriteCase(++number, Stored(c));
    EXPECT_EQ(WindowsAnswer(c, path), c.expected);
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.expected);
  }
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
