// The shell's size texts and GetPrivateProfileStringW against the tables
// and the remark-file reader both programs share.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/system_queries_win32.h"
#include "platform/win32/wide_text.h"
#include "support/profile_cases.h"
#include "support/size_cases.h"
#include "test_support.h"

namespace kelvar::win32 {
namespace {

using kelvar::test::ProfileCase;
using kelvar::test::Times;

// Both read as the shell reads on a Chinese Windows ("0 字节" under zh_CN).
TEST(SizeFormat, ShellFormatterGivesTheSharedTexts) {
  Win32SizeFormatter shell;
  for (const kelvar::test::SizeCase& c : kelvar::test::kSizeCases)
    EXPECT_EQ(shell.FormatByteSize(c.bytes).value_or("(failed)"), c.text) << c.bytes;
}

// How a case's file is stored: code page 936, a byte-order mark and UTF-16,
// the bytes FF FE before code page 936, or the case's own bytes.
enum class Form { kCp936, kUtf16Le, kUtf16Be, kFfFeThenCp936, kAsWritten };

const std::string kOddHan = "x" + Times(200, "汉");  // a whole 汉 would end at byte 255

// Texts in UTF-8 here, stored as their form says.
const struct {
  ProfileCase c;
  Form form = Form::kCp936;
} kCases[] = {
    {{"cut before the half character", "[s]\r\na=" + kOddHan, "s", "a", "x" + Times(126, "汉")}},
    {{"trail byte that looks like ']' in a section name", "[乚x]\r\na=1\r\n", "乚x", "a", "1"}},
    {{"trail byte that looks like a backslash in a key", "[s]\r\n乗\\俓.exe=v\r\n", "s", "乗\\俓.exe", "v"}},
    {{"letters beyond ASCII keep their case", "[s]\r\nΩＡ=1\r\n", "s", "ωａ", ""}},
    {{"UTF-16LE cut at 254 bytes of code page 936", "[s]\r\na=" + kOddHan, "s", "a", "x" + Times(126, "汉")},
     Form::kUtf16Le},
    {{"UTF-16BE", "[sysdir]\r\na=重要|x\r\n", "sysdir", "a", "重要|x"}, Form::kUtf16Be},
    {{"FF FE before code page 936 reads as UTF-16", "\r\n[s]\r\na=核心\r\n", "s", "a", ""},
     Form::kFfFeThenCp936},
};

std::string InCodePage(const std::string& utf8) {
  std::wstring wide = Widen(utf8);
  int n =
      WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Stored(const std::string& text, Form form) {
  if (form == Form::kAsWritten) return text;
  if (form == Form::kCp936) return InCodePage(text);
  if (form == Form::kFfFeThenCp936) return "\xFF\xFE" + InCodePage(text);
  std::string out = form == Form::kUtf16Be ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : Widen(text))
    out += form == Form::kUtf16Be ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
  return out;
}

std::string WriteCase(int number, const std::string& bytes) {
  const std::wstring path = test::TestFolder() + L"\\profile" + std::to_wstring(number) + L".ini";
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
  return Narrow(path);
}

// The longest head of `text` within `max_bytes` of code page 936, never
// cutting a character (a surrogate pair stays whole).
std::wstring FitInCp936(std::wstring text, std::size_t max_bytes) {
  while (InCodePage(Narrow(text)).size() > max_bytes)
    text.resize(text.size() - (text.size() > 1 && IS_LOW_SURROGATE(text.back()) ? 2 : 1));
  return text;
}

// Windows' answer is cut as the ANSI call cuts it: at the last whole
// character within 254 bytes of code page 936.
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
    EXPECT_EQ(Narrow(FitInCp936(std::wstring(buf, n), 254)), c.value) << "Windows";
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.value);
  };
  for (const ProfileCase& c : kelvar::test::kProfileCases) check(c, Form::kCp936);
  for (const ProfileCase& c : kelvar::test::kDecodingCases) check(c, Form::kAsWritten);
  for (const auto& c : kCases) check(c.c, c.form);
}

// Also run with KELVAR_ANSI_NOT_936 under a locale whose ANSI code page is
// not 936: the remark file still reads as code page 936.
TEST(RemarkFile, ReadsAsCodePage936WhateverTheSystemCodePage) {
  ASSERT_TRUE(GetEnvironmentVariableW(L"KELVAR_ANSI_NOT_936", nullptr, 0) == 0 || GetACP() != 936u);
  const std::string path = WriteCase(0, InCodePage("[sysdir]\r\n核心.exe=核心|内核\r\n"));
  EXPECT_EQ(Win32ProfileReader().GetString("sysdir", "核心.exe", path), "核心|内核");
}

}  // namespace
}  // namespace kelvar::win32
