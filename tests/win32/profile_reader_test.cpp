// The portable profile reader (used where Windows' is absent) against
// GetPrivateProfileStringW on the same files, one table on both sides: the
// remark file's rules (case, duplicates, line ends, comments, quotes,
// blanks, the 254-byte cut, code page 936) must read alike everywhere.  Each
// row names the answer Windows' reader gives; a row whose portable answer
// differs says so in `portable`.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system_queries_win32.h"
#include "platform/win32/wide_text.h"
#include "procinfo/profile_text.h"
#include "test_support.h"

namespace kelvar::win32 {
namespace {

struct ProfileCase {
  const char* name;
  std::string file;  // UTF-8 here; written in code page 936 unless it has a BOM
  const char* section;
  const char* key;
  std::string expected;
  const char* portable = nullptr;  // where the portable reader answers otherwise
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
    {"double-byte value cut at a whole character",
     "[s]\r\na=" + kChinese200 + "\r\n", "s", "a", Repeat("汉", 127)},
    {"odd start: cut before the half character",
     "[s]\r\na=x" + kChinese200 + "\r\n", "s", "a", "x" + Repeat("汉", 126)},
    {"trail byte that looks like ']' in a section name", "[乚x]\r\na=1\r\n", "乚x", "a", "1"},
    {"trail byte that looks like a backslash in a key", "[s]\r\n乗\\俓.exe=v\r\n", "s", "乗\\俓.exe", "v"},
    {"value of blanks only", "[s]\r\na=   \r\n", "s", "a", ""},
    {"mismatched quotes kept", "[s]\r\na=\"x'\r\n", "s", "a", "\"x'"},
    {"letters beyond ASCII keep their case", "[s]\r\nΩＡ=1\r\n", "s", "ωａ", ""},
    {"a value ends at a NUL", std::string("[s]\r\na=x\0y\r\n", 12), "s", "a", "x"},
    {"CR CR LF", "[s]\r\r\na=1\r\r\n", "s", "a", "1"},
    {"UTF-8 file with a byte-order mark", "\xEF\xBB\xBF[s]\r\na=值\r\n", "s", "a", "值"},
    {"a lone CR ends a line", "[s]\ra=1\nb=2\rc=3\n", "s", "b", "2"},
    {"a lone CR ends the line before it", "[s]\ra=1\nb=2\rc=3\n", "s", "c", "3"},
    {"the empty key finds a nameless entry", "[s]\r\n=v\r\n", "s", "", "v"},
};

bool HasBom(const std::string& text) { return text.rfind("\xEF\xBB\xBF", 0) == 0; }

// Text of the file as stored: code page 936 unless it is a UTF-8 file.
std::string Stored(const std::string& utf8) {
  if (HasBom(utf8)) return utf8;
  std::wstring wide = Widen(utf8);
  int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string FromCp936(const std::string& bytes) {
  int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return Narrow(wide);
}

std::string WriteCase(int number, const std::string& bytes) {
  std::wstring folder = test::TestFolder() + L"\\profiles";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring path = folder + L"\\case" + std::to_wstring(number) + L".ini";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return Narrow(path);
}

std::string Portable(const ProfileCase& c, const std::string& stored) {
  if (HasBom(c.file)) return ProfileValue(stored, c.section, c.key, TextEncoding::kUtf8);
  return FromCp936(ProfileValue(stored, Stored(c.section), Stored(c.key), TextEncoding::kDoubleByte));
}

TEST(ProfileReader, PortableReaderAnswersAsGetPrivateProfileString) {
  ASSERT_EQ(GetACP(), 936u) << "run the Windows tests with LC_ALL=zh_CN.UTF-8";
  Win32ProfileReader windows;
  int number = 0;
  for (const ProfileCase& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string stored = Stored(c.file);
    std::string path = WriteCase(++number, stored);
    EXPECT_EQ(windows.GetString(c.section, c.key, path), c.expected);
    EXPECT_EQ(Portable(c, stored), c.portable ? std::string(c.portable) : c.expected);
  }
}

}  // namespace
}  // namespace kelvar::win32
