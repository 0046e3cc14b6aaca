// Windows' own answers against what both programs share: the shell's size
// texts, GetPrivateProfileStringW beside the remark-file reader, and code
// page 936 beside the answers of the Linux program.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/cp936_inputs.h"
#include "support/profile_cases.h"
#include "support/size_cases.h"
#include "test_support.h"

namespace kelvar::win32 {
namespace {

using kelvar::test::Cp936DecodeInputs, kelvar::test::Cp936EncodeInputs, kelvar::test::kNoForm;
using kelvar::test::ProfileCase, kelvar::test::Times, testing::PrintToString;

// Both read as the shell reads on a Chinese Windows ("0 字节" under zh_CN).
TEST(SizeFormat, ShellFormatterGivesTheSharedTexts) {
  Win32SizeFormatter shell;
  for (const kelvar::test::SizeCase& c : kelvar::test::kSizeCases)
    EXPECT_EQ(shell.FormatByteSize(c.bytes).value_or("(failed)"), c.text) << c.bytes;
}

std::string InCodePage(const std::string& utf8) {
  const std::wstring wide = Widen(utf8);
  std::string out(2 * wide.size(), '\0');  // at most two bytes a UTF-16 unit
  const int size = static_cast<int>(out.size());
  out.resize(WideCharToMultiByte(936, 0, wide.data(), size / 2, out.data(), size, nullptr, nullptr));
  return out;
}

std::string Utf16(const std::string& utf8, bool big_endian) {  // with its byte-order mark
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : Widen(utf8))
    out += big_endian ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
  return out;
}

const std::string kOddHanFile = "[s]\r\na=x" + Times(200, "汉");  // a whole 汉 would end at byte 255

// The files only Windows' reader is held to: code page 936 and UTF-16.
const ProfileCase kCases[] = {
    {"cut before the half character", InCodePage(kOddHanFile), "s", "a", "x" + Times(126, "汉")},
    {"trail byte that looks like ']' in a section name", InCodePage("[乚x]\r\na=1\r\n"), "乚x", "a", "1"},
    {"trail byte like a backslash in a key", InCodePage("[s]\r\n乗\\俓.exe=v\r\n"), "s", "乗\\俓.exe", "v"},
    {"letters beyond ASCII keep their case", InCodePage("[s]\r\nΩＡ=1\r\n"), "s", "ωａ", ""},
    {"UTF-16LE cut at 254 code page 936 bytes", Utf16(kOddHanFile, false), "s", "a", "x" + Times(126, "汉")},
    {"UTF-16BE", Utf16("[sysdir]\r\na=重要|x\r\n", true), "sysdir", "a", "重要|x"},
    {"FF FE before code page 936: UTF-16", "\xFF\xFE" + InCodePage("\r\n[s]\r\na=核心\r\n"), "s", "a", ""}};

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

// Each file as its bytes; Windows' answer cut as the ANSI call cuts it: at
// the last whole character within 254 bytes of code page 936.
TEST(ProfileReader, ReadsAsGetPrivateProfileString) {
  ASSERT_EQ(GetACP(), 936u) << "run the Windows tests with LC_ALL=zh_CN.UTF-8";
  Win32ProfileReader reader;
  int number = 0;
  auto check = [&](const ProfileCase& c) {
    SCOPED_TRACE(c.what);
    const std::string path = WriteCase(++number, c.text);
    wchar_t buf[255];
    DWORD n = GetPrivateProfileStringW(Widen(c.section).c_str(), Widen(c.key).c_str(), L"", buf, 255,
                                       Widen(path).c_str());
    EXPECT_EQ(Narrow(FitInCp936(std::wstring(buf, n), 254)), c.value) << "Windows";
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.value);
  };
  for (const ProfileCase& c : kelvar::test::kProfileCases) check(c);
  for (const ProfileCase& c : kelvar::test::kDecodingCases) check(c);
  for (const ProfileCase& c : kCases) check(c);
}

// Also run with KELVAR_ANSI_NOT_936 under a locale whose ANSI code page is
// not 936: the remark file still reads as code page 936.
TEST(RemarkFile, ReadsAsCodePage936WhateverTheSystemCodePage) {
  ASSERT_TRUE(GetEnvironmentVariableW(L"KELVAR_ANSI_NOT_936", nullptr, 0) == 0 || GetACP() != 936u);
  const std::string path = WriteCase(0, InCodePage("[sysdir]\r\n核心.exe=核心|内核\r\n"));
  EXPECT_EQ(Win32ProfileReader().GetString("sysdir", "核心.exe", path), "核心|内核");
}

// Every byte and pair decoded, every UTF-16 unit encoded, in the file the
// Linux build writes.
TEST(CodePage936, TheLinuxProgramConvertsEveryInputAsWindows) {
  const wchar_t* name = _wgetenv(L"KELVAR_CP936_LINUX");
  if (!name || !*name) GTEST_SKIP() << "KELVAR_CP936_LINUX names no file of the Linux build";
  std::ifstream linux_answers(std::filesystem::path(name), std::ios::binary);
  ASSERT_TRUE(linux_answers) << Narrow(name);
  Win32Cp936Codec windows;
  std::vector<std::pair<std::string, std::optional<std::string>>> cases;  // the input, Windows' answer
  for (const std::string& input : Cp936DecodeInputs()) cases.emplace_back(input, windows.Decode(input));
  for (const std::string& input : Cp936EncodeInputs()) cases.emplace_back(input, windows.Encode(input));
  int wrong = 0;
  for (const auto& [input, answer] : cases) {
    const int size = linux_answers.get();
    ASSERT_NE(size, EOF) << "the file ends before the answer for " << PrintToString(input);
    std::optional<std::string> linux_answer;
    if (size != kNoForm) linux_answers.read(linux_answer.emplace(size, '\0').data(), size);
    if (linux_answer != answer && ++wrong <= 20)
      ADD_FAILURE() << PrintToString(input) << ": Windows " << PrintToString(answer) << ", Linux "
                    << PrintToString(linux_answer);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(linux_answers.get(), EOF) << "the file holds more answers than there are inputs";
}

}  // namespace
}  // namespace kelvar::win32
