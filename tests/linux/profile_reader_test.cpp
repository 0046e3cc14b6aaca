// The remark file through the Linux reader, rewritten in place between reads
// (each read must see the new file): the rule tables both programs share.
#include <gtest/gtest.h>

#include "support/profile_cases.h"
#include "support/test_support.h"

namespace kelvar::test {
namespace {

TEST(LinuxProfileReaderTest, ReadsTheRemarkFileAsWindowsDoes) {
  TempDir dir;
  const std::string path = dir.path() + "/system.ini";
  LinuxProfileReader reader;
  const auto check = [&](const ProfileCase& c) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    EXPECT_EQ(reader.GetString(c.section, c.key, path), c.value) << c.what;
  };
  for (const ProfileCase& c : kProfileCases) check(c);
  for (const ProfileCase& c : kDecodingCases) check(c);
}

}  // namespace
}  // namespace kelvar::test
