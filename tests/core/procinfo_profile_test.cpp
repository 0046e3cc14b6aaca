// The portable profile reader against the Windows reader's answers on the
// decoded (UTF-8) text of a file, the 254-byte cut, hostile files.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <span>
#include <string>

#include "procinfo/profile_text.h"
#include "support/profile_cases.h"

namespace kelvar {
namespace {

using namespace std::string_literals;
using test::ProfileCase;
using Cases = std::span<const ProfileCase>;

// Chinese names match as they are; only ASCII letters are folded.
const ProfileCase kMoreCases[] = {
    {"key without '=' answers empty and shadows later ones", "[s]\nk\nk=v\n", "s", "k", ""},
    {"BOM skipped", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
    {"a comment key can be asked for", "[s]\n;k=c\n# k=d\n", "s", ";k", "c"},
    {"first section found though another comes before", "[t]\nk=0\n[s]\nk=1\n[s]\nk=2\n", "s", "k", "1"},
    {"tab and Ctrl-Z are blanks", "\t[s]\t\nk\t=\tv\t\x1A\n", "s", "k", "v"},
    {"section name runs to the last ']'", "[a]b] tail\nk=v\n", "a]b", "k", "v"},
    {"'[' line as a key", "[s=1\n", "", "[s", "1"},
    {"value after the first '='", "[s]\nk = a = b\n", "s", "k", "a = b"},
    {"NUL ends a key name", "[s]\nk\0junk=v\n"s, "s", "k", "v"},
    {"NUL ends a section name", "[s\0junk]\nk=v\n"s, "s", "k", "v"},
    {"NUL ends an asked name", "[s]\nk=v\n", "s\0x"s, "k\0y"s, "v"},
    {"NUL before the name", "[s]\n\0k=v\n"s, "s", "k", ""},
    {"empty quotes", "[s]\nk=\"\"\n", "s", "k", ""},
    {"one quote", "[s]\nk=\"\n", "s", "k", "\""},
    {"quotes then NUL", "[s]\nk='a'\0'\n"s, "s", "k", "a"},
    {"quotes dropped before the cut", "[s]\nk=\"" + std::string(300, 'x') + "\"", "s", "k",
     std::string(254, 'x')},
    {"Chinese names and values", "[系统]\n程序.exe=01 说明\n", "系统", "程序.exe", "01 说明"},
    {"non-ASCII letters are not folded", "[s]\nÄ=1\n", "s", "ä", ""},
};

TEST(ProfileValue, CommonRules) {
  for (Cases cases : {Cases(test::kProfileCases), Cases(kMoreCases)})
    for (const ProfileCase& c : cases) EXPECT_EQ(ProfileValue(c.text, c.section, c.key), c.value) << c.what;
}

// 汉 is three bytes: a cut keeps only whole characters.
TEST(ProfileValue, CutAtTheLastWholeCharacterWithinTheLimit) {
  EXPECT_EQ(ProfileValue("[s]\nk=汉字\n", "s", "k", 5), "汉");
  EXPECT_EQ(ProfileValue("[s]\nk=汉字\n", "s", "k", 2), "");
}

// Junk, then a section of our own; the 'x' closes any double-byte character left open.
std::string AfterJunk(const std::string& junk) { return junk + "x\n[mine]\nk=found\n"; }

// Files no one should write: binary data, 50 MB, no line breaks, NULs, 100 KB
// lines.  Each reads in one linear pass (random input is the fuzz target's).
TEST(Hostile, HugeAndBrokenFilesReadInOnePass) {
  std::string binary(1u << 20, '\0'), fifty = "[other]\n", crs, nuls(1u << 20, '\0');
  std::mt19937 gen(7);
  for (char& c : binary) c = static_cast<char>(gen());
  while (fifty.size() < 50u << 20) fifty += "some.key=" + std::string(90, 'v') + "\r\n";
  while (crs.size() < 4u << 20) crs += "j=1\r";
  const std::string big(100u << 10, 'b');
  const ProfileCase cases[] = {
      {"binary data", AfterJunk(binary), "mine", "k", "found"},
      {"50 MB", AfterJunk(fifty), "mine", "k", "found"},
      {"50 MB, no such key", fifty, "other", "no.key", ""},
      {"no line feed", "k=" + std::string(10u << 20, 'a'), "", "k", std::string(254, 'a')},
      {"CRs alone", "[mine]\n" + crs + "k=last", "mine", "k", "last"},
      {"NULs", AfterJunk(nuls), "mine", "k", "found"},
      {"NULs in a value", "[mine]\nk=" + nuls + "tail\n", "mine", "k", ""},
      {"100 KB key and value", "[mine]\n" + big + "=1\nk=" + big + "\n", "mine", "k", std::string(254, 'b')},
      {"100 KB section name", "[" + big + "]\nk=no\n[mine]\nk=found\n", "mine", "k", "found"}};
  for (const auto& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ProfileValue(c.text, c.section, c.key), c.value) << c.what;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << c.what << ": not linear";
  }
}

}  // namespace
}  // namespace kelvar
