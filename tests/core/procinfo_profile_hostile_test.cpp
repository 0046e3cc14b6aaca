// The profile reader on files no one should write: binary data, 50 MB,
// no line breaks, NUL bytes, 100 KB lines.  Each answer is the one the
// Windows reader gives, and each file is read in one linear pass: a reader
// that searched the rest of the file once per line would not finish here.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "procinfo/profile_text.h"

namespace kelvar {
namespace {

const TextEncoding kEncodings[] = {TextEncoding::kUtf8, TextEncoding::kDoubleByte};

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(byte(gen));
  return s;
}

// Junk and then a section of our own.  The ASCII byte after the junk ends
// any double-byte character the junk leaves open, so the line break after
// it is a line break in either encoding.
std::string AfterJunk(const std::string& junk) { return junk + "x\n[mine]\nk=found\n"; }

class Hostile : public testing::TestWithParam<TextEncoding> {
 protected:
  std::string Read(const std::string& text, const char* section = "mine", const char* key = "k") {
    const auto start = std::chrono::steady_clock::now();
    std::string v = ProfileValue(text, section, key, GetParam());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(30)) << "not linear";
    return v;
  }
};

TEST_P(Hostile, BinaryData) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    std::string junk = RandomBytes(64 * 1024, seed);
    EXPECT_EQ(Read(AfterJunk(junk)), "found");
    Read(junk, "", "k");  // any answer, no crash
  }
}

TEST_P(Hostile, FiftyMegabytes) {
  std::string text = "[other]\n";
  const std::string line = "some.key=" + std::string(90, 'v') + "\r\n";
  while (text.size() < 50u * 1024 * 1024) text += line;
  EXPECT_EQ(Read(AfterJunk(text)), "found");
  EXPECT_EQ(Read(text, "other", "some.key"), std::string(90, 'v'));
  EXPECT_EQ(Read(text, "other", "no.key"), "");
}

TEST_P(Hostile, NoLineBreaks) {
  EXPECT_EQ(Read("k=" + std::string(10 * 1024 * 1024, 'a'), "", "k"), std::string(254, 'a'));
  EXPECT_EQ(Read("[mine]" + std::string(10 * 1024 * 1024, 'a')), "");
}

TEST_P(Hostile, ManyCarriageReturnsAndNoLineFeed) {
  std::string text;
  while (text.size() < 4u * 1024 * 1024) text += "j=1\r";
  EXPECT_EQ(Read(text + "k=last", "", "k"), "last");
  EXPECT_EQ(Read("[mine]\n" + text + "k=last"), "last");
}

TEST_P(Hostile, NulBytes) {
  const std::string nuls(1024 * 1024, '\0');
  EXPECT_EQ(Read(AfterJunk(nuls)), "found");
  EXPECT_EQ(Read("[mine]\nk=" + nuls + "tail\n"), "");
  EXPECT_EQ(Read("[mine]\n" + nuls + "k=v\nk=found\n"), "found");
}

TEST_P(Hostile, HundredKilobyteLines) {
  const std::string big(100 * 1024, 'b');
  EXPECT_EQ(Read("[mine]\n" + big + "=1\nk=" + big + "\n"), std::string(254, 'b'));
  EXPECT_EQ(Read("[" + big + "]\nk=no\n[mine]\nk=found\n"), "found");
  std::string many;
  for (int i = 0; i < 100; ++i) many += big + "\n";
  EXPECT_EQ(Read(AfterJunk(many)), "found");
}

INSTANTIATE_TEST_SUITE_P(Encodings, Hostile, testing::ValuesIn(kEncodings),
                         [](const testing::TestParamInfo<TextEncoding>& info) {
                           return info.param == TextEncoding::kUtf8 ? std::string("Utf8")
                                                                     : std::string("DoubleByte");
                         });

}  // namespace
}  // namespace kelvar
