// The Linux program's code page 936 (the file the Linux build writes, named
// by KELVAR_CP936_LINUX) against Windows' own conversions: every byte and
// byte pair decoded, every UTF-16 unit encoded.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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
  for (unsigned char b : *bytes) out.append(two, std::snprintf(two, sizeof two, "%02X ", b));
  return out;
}

TEST(CodePage936, TheLinuxProgramConvertsEveryInputAsWindows) {
  const wchar_t* name = _wgetenv(L"KELVAR_CP936_LINUX");
  if (!name || !*name) GTEST_SKIP() << "KELVAR_CP936_LINUX names no file of the Linux build";
  std::ifstream linux_answers(std::filesystem::path(name), std::ios::binary);
  ASSERT_TRUE(linux_answers) << Narrow(name);
  Win32Cp936Codec windows;
  std::vector<std::pair<std::string, std::optional<std::string>>> cases;  // the input, Windows' answer
  for (const std::string& input : test::Cp936DecodeInputs()) cases.emplace_back(input, windows.Decode(input));
  for (const std::string& input : test::Cp936EncodeInputs()) cases.emplace_back(input, windows.Encode(input));
  int wrong = 0;
  for (const auto& [input, answer] : cases) {
    const int size = linux_answers.get();
    ASSERT_NE(size, EOF) << "the file ends before the answer for " << Hex(input);
    std::optional<std::string> linux_answer;
    if (size != test::kNoForm) linux_answers.read(linux_answer.emplace(size, '\0').data(), size);
    if (linux_answer != answer && ++wrong <= 20)
      ADD_FAILURE() << Hex(input) << ": Windows " << Hex(answer) << ", Linux " << Hex(linux_answer);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(linux_answers.get(), EOF) << "the file holds more answers than there are inputs";
}

}  // namespace
}  // namespace kelvar::win32
