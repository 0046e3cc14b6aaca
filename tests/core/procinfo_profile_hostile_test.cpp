// The profile reader on files no one should write: binary data, 50 MB, no
// line breaks, NUL bytes, 100 KB lines.  Each gives the Windows reader's
// answer, in one linear pass: a reader that searched the rest of the file
// once per line would not finish.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "procinfo/profile_text.h"

namespace kelvar {
namespace {

// Junk, then a section of our own.  The ASCII byte after the junk closes any
// double-byte character left open, so the next line break is one in either
// encoding.
std::string AfterJunk(const std::string& junk) { return junk + "x\n[mine]\nk=found\n"; }

class Hostile : public testing::TestWithParam<TextEncoding> {
 protected:
  std::string Read(const std::string& text, const char* section = "mine", const char* key = "k") {
    const auto start = std::chrono::steady_clock::now();
    std::string v = ProfileValue(text, section, key, GetParam());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "not linear";
    return v;
  }
};

TEST_P(Hostile, BinaryData) {
  std::mt19937 gen(7);
  for (int round = 0; round < 20; ++round) {
    std::string junk(64 * 1024, '\0');
    for (char& c : junk) c = static_cast<char>(gen());
    EXPECT_EQ(Read(AfterJunk(junk)), "found");
    Read(junk, "", "k");  // any answer, no fault
  }
}

TEST_P(Hostile, FiftyMegabytes) {
  std::string text = "[other]\n";
  const std::string line = "some.key=" + std::string(90, 'v') + "\r\n";
  while (text.size() < 50u << 20) text += line;
  EXPECT_EQ(Read(AfterJunk(text)), "found");
  EXPECT_EQ(Read(text, "other", "no.key"), "");
}

TEST_P(Hostile, NoLineFeeds) {
  EXPECT_EQ(Read("k=" + std::string(10u << 20, 'a'), "", "k"), std::string(254, 'a'));
  std::string crs;
  while (crs.size() < 4u << 20) crs += "j=1\r";
  EXPECT_EQ(Read("[mine]\n" + crs + "k=last"), "last");
}

TEST_P(Hostile, NulBytes) {
  const std::string nuls(1u << 20, '\0');
  EXPECT_EQ(Read(AfterJunk(nuls)), "found");
  EXPECT_EQ(Read("[mine]\nk=" + nuls + "tail\n"), "");
  EXPECT_EQ(Read("[mine]\n" + nuls + "k=v\nk=found\n"), "found");
}

TEST_P(Hostile, HundredKilobyteLines) {
  const std::string big(100u << 10, 'b');
  EXPECT_EQ(Read("[mine]\n" + big + "=1\nk=" + big + "\n"), std::string(254, 'b'));
  EXPECT_EQ(Read("[" + big + "]\nk=no\n[mine]\nk=found\n"), "found");
}

INSTANTIATE_TEST_SUITE_P(Encodings, Hostile, testing::Values(TextEncoding::kUtf8, TextEncoding::kDoubleByte));

}  // namespace
}  // namespace kelvar
