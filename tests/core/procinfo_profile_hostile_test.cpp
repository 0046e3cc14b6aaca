// The profile reader on files no one should write: binary data, 50 MB, no
// line breaks, NUL bytes, 100 KB lines.  Each gives the Windows reader's
// answer, in one linear pass: a reader that searched the rest of the file
// once per line would not finish.  (Random input without such sizes is the
// fuzz target's.)
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

TEST(Hostile, HugeAndBrokenFilesReadInOnePass) {
  std::string binary(1u << 20, '\0'), fifty = "[other]\n", crs, nuls(1u << 20, '\0');
  std::mt19937 gen(7);
  for (char& c : binary) c = static_cast<char>(gen());
  while (fifty.size() < 50u << 20) fifty += "some.key=" + std::string(90, 'v') + "\r\n";
  while (crs.size() < 4u << 20) crs += "j=1\r";
  const std::string big(100u << 10, 'b');
  const struct {
    const char* what;
    std::string text, section, key, value;
  } cases[] = {
      {"binary data", AfterJunk(binary), "mine", "k", "found"},
      {"50 MB", AfterJunk(fifty), "mine", "k", "found"},
      {"50 MB, no such key", fifty, "other", "no.key", ""},
      {"no line feed", "k=" + std::string(10u << 20, 'a'), "", "k", std::string(254, 'a')},
      {"CRs alone", "[mine]\n" + crs + "k=last", "mine", "k", "last"},
      {"NULs", AfterJunk(nuls), "mine", "k", "found"},
      {"NULs in a value", "[mine]\nk=" + nuls + "tail\n", "mine", "k", ""},
      {"NULs before a key", "[mine]\n" + nuls + "k=v\nk=found\n", "mine", "k", "found"},
      {"100 KB key and value", "[mine]\n" + big + "=1\nk=" + big + "\n", "mine", "k", std::string(254, 'b')},
      {"100 KB section name", "[" + big + "]\nk=no\n[mine]\nk=found\n", "mine", "k", "found"},
  };
  for (TextEncoding encoding : {TextEncoding::kUtf8, TextEncoding::kDoubleByte}) {
    for (const auto& c : cases) {
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(ProfileValue(c.text, c.section, c.key, encoding), c.value) << c.what;
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
          << c.what << ": not linear";
    }
  }
}

}  // namespace
}  // namespace kelvar
