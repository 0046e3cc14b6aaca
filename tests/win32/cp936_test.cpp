// The Linux program's code page 936 (the file the Linux build writes, named
// by KELVAR_CP936_LINUX) against Windows' own conversions: every byte and
// byte pair decoded, every UTF-16 unit encoded.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/cp936_win32.h"
#include "platform/win32/wide_text.h"
#include "support/cp936_inputs.h"

namespace kelvar::win32 {
namespace {

std::string Hex(const std::optional<std::string>& bytes) {
  if (!bytes) return "(none)";
  std::string out;
  char two[4];
  for (unsigned char b : *bytes) {
    std::snprintf(two, sizeof two, "%02X ", b);
    out += two;
  }
  return out;
}

// The next answer of the Linux file; nullopt for "no form".  Past its end,
// `ended` is set.
std::optional<std::string> NextAnswer(const std::string& file, std::size_t& pos, bool& ended) {
  const auto n = pos < file.size() ? static_cast<unsigned char>(file[pos]) : 0u;
  ended = ended || pos >= file.size() || (n != test::kNoForm && pos + 1 + n > file.size());
  if (ended) return std::nullopt;
  ++pos;
  if (n == test::kNoForm) return std::nullopt;
  pos += n;
  return file.substr(pos - n, n);
}

TEST(CodePage936, TheLinuxProgramConvertsEveryInputAsWindows) {
  const wchar_t* name = _wgetenv(L"KELVAR_CP936_LINUX");
  if (!name || !*name) GTEST_SKIP() << "KELVAR_CP936_LINUX names no file of the Linux build";
  std::ifstream in(std::filesystem::path(name), std::ios::binary);
  ASSERT_TRUE(in) << Narrow(name);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Win32Cp936Codec windows;
  std::size_t pos = 0;
  int wrong = 0;
  bool ended = false;
  const auto check = [&](const std::string& input, const std::optional<std::string>& expected) {
    const std::optional<std::string> linux_answer = NextAnswer(file, pos, ended);
    if (ended || linux_answer == expected || ++wrong > 20) return;
    ADD_FAILURE() << Hex(input) << ": Windows " << Hex(expected) << ", Linux " << Hex(linux_answer);
  };
  for (const std::string& input : test::Cp936DecodeInputs()) check(input, windows.Decode(input));
  for (const std::string& input : test::Cp936EncodeInputs()) check(input, windows.Encode(input));
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(!ended && pos == file.size()) << "the file holds other inputs";
}

}  // namespace
}  // namespace kelvar::win32
