// The remark file through the Linux reader, rewritten in place between reads
// (each read must see the new file): the rule tables both programs share,
// the byte-order marks, the cut in code page 936 bytes, and code page 936
// itself where Windows' answer is known without Wine.
#include <gtest/gtest.h>

#include <string>

#include "support/profile_cases.h"
#include "support/test_support.h"

namespace kelvar::test {
namespace {

using namespace std::string_literals;

TEST(LinuxProfileReaderTest, ReadsTheRemarkFileAsWindowsDoes) {
  const std::string bom = "\xEF\xBB\xBF";
  const ProfileCase own[] = {
      {"code page 936", "[s]\r\n\xBA\xCB\xD0\xC4.exe=\xBA\xCB\xD0\xC4|x\r\n", "s", "核心.exe", "核心|x"},
      {"UTF-16LE", "\xFF\xFE[\0s\0]\0\r\0\n\0a\0=\0\x38\x68\xC3\x5F"s, "s", "a", "核心"},
      {"UTF-8 cut in code page 936 bytes", bom + "[s]\na=" + Times(200, "汉"), "s", "a", Times(127, "汉")},
      {"no form in code page 936: a byte per UTF-16 unit",
       bom + "[s]\na=" + Times(100, "ő") + Times(100, "😀"), "s", "a", Times(100, "ő") + Times(77, "😀")},
  };
  TempDir dir;
  const std::string path = dir.path() + "/system.ini";
  LinuxProfileReader reader;
  const auto check = [&](const ProfileCase& c) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.value) << c.what;
  };
  for (const ProfileCase& c : kProfileCases) check(c);
  for (const ProfileCase& c : kDecodingCases) check(c);
  for (const ProfileCase& c : own) check(c);
}

// Windows' answers, as Wine gives them; the Windows tests hold every byte,
// pair and UTF-16 unit to Windows where Wine runs.
TEST(LinuxCp936Codec, ConvertsAsWindows) {
  const struct {
    std::string bytes, text;
  } decoded[] = {
      {"\xBA\xBA\xA6\x81\x80\xFF", "汉\uE6E6€\uF8F5"},
      {"\x81\x20\x81\x7F\x81\xFF\x81\x30", "????"},
      {"\x81\nb", "?b"},
      {"a\x81\0b"s, "a?\0b"s},
      {"a\x81", "a?"},
  };
  const struct {
    std::string text;
    std::optional<std::string> bytes;
  } encoded[] = {
      {"汉\uE6E6€\uF8F5", "\xBA\xBA\xA6\x81\x80\xFF"},
      {"😀", std::nullopt},
      {"ő", std::nullopt},
      {"\xE9\x87", std::nullopt},
  };
  LinuxCp936Codec codec;
  for (const auto& c : decoded) EXPECT_EQ(codec.Decode(c.bytes), c.text) << c.text;
  for (const auto& c : encoded) EXPECT_EQ(codec.Encode(c.text), c.bytes) << c.text;
}

}  // namespace
}  // namespace kelvar::test
