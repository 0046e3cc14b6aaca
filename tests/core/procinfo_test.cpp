// What a row is made of: executable paths, the remark lookup and the profile
// reader under it (hostile files too), size texts and the icon step.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <span>

#include "fake/fake_system.h"
#include "procinfo/icon_step.h"
#include "procinfo/ini.h"
#include "procinfo/profile_text.h"
#include "procinfo/size_text.h"
#include "procinfo/sys_path.h"
#include "support/profile_cases.h"
#include "support/size_cases.h"

namespace kelvar {
namespace {

using namespace std::string_literals;
using test::ProfileCase;
using Cases = std::span<const ProfileCase>;

// The path a row shows: a Windows module path loses its outer spaces and its
// native forms; a POSIX path is never rewritten.
TEST(RowPath, TrimmedThenNativeFormsBecomeDrivePaths) {
  const std::pair<const char*, const char*> cases[] = {
      {"\\??\\C:\\WINDOWS\\system32\\winlogon.exe", "C:\\WINDOWS\\system32\\winlogon.exe"},
      {"\\SystemRoot\\System32\\smss.exe", "C:\\WINDOWS\\System32\\smss.exe"},
      {"\\systemroot\\x.exe", "C:\\WINDOWS\\x.exe"},
      {"\\??\\\\SystemRoot\\a.exe", "C:\\WINDOWS\\a.exe"},  // both rules, in that order
      {"\\SYSTEMROOTS\\a.exe", "\\SYSTEMROOTS\\a.exe"},
      {"x\\SystemRoot\\a.exe", "x\\SystemRoot\\a.exe"},
      {"C:\\a\\??\\b.exe", "C:\\ab.exe"},
      {"\\?\\??\\?\\", "\\??\\"},  // text joined by a removal is not searched again
      {"/usr/bin/a\\??\\b", "/usr/bin/a\\??\\b"},
      {"  C:\\my prog\\a b.exe  ", "C:\\my prog\\a b.exe"},
      {"\tC:\\a.exe\t", "\tC:\\a.exe\t"},  // spaces only
      {"/usr/bin/name ", "/usr/bin/name "},
      {"   ", ""}};
  fake::FakeDirectories dirs;
  for (auto [in, out] : cases) {
    std::string path = in;
    TrimModulePath(path);
    EXPECT_EQ(CheckPath(path, dirs), out) << in;
  }
  dirs.windows_dir = "";
  EXPECT_EQ(CheckPath("\\SystemRoot\\System32\\smss.exe", dirs), "\\System32\\smss.exe");
}

const std::string kFile = "C:\\Tools\\Comment\\system.ini";

// The section and key read, as "section|key"; "" when the file is not read.
TEST(LookupRemark, SectionAndKeyForAPath) {
  const struct {
    const char *path, *read, *sys = "C:\\WINDOWS\\system32", *win = "C:\\WINDOWS";
  } cases[] = {{"C:\\WINDOWS\\system32\\svchost.exe", "sysdir|svchost.exe"},
               {"C:\\WINDOWS\\explorer.exe", "windir|explorer.exe"},
               {"C:\\WINDOWS\\system32\\wbem\\w.exe", "sysdir|wbem\\w.exe"},
               {"c:\\windows\\SYSTEM32\\Svchost.exe", "sysdir|Svchost.exe"},
               {"C:\\WINDOWS\\system32abc\\x.exe", "sysdir|bc\\x.exe"},
               {"C:\\WINDOWS\\system32", "sysdir|"},
               {"C:\\Program Files\\x.exe", ""},
               {"C:\\WIN", ""},
               {"C:\\Program Files\\x.exe", "sysdir|:\\Program Files\\x.exe", ""},
               // Characters, not bytes: "D:\" is three, and the fourth is skipped whole.
               {"d:\\系统\\程序.exe", "sysdir|程序.exe", "D:\\系统", "D:\\"},
               {"D:\\系\\a.exe", "windir|\\a.exe", "D:\\系统", "D:\\"}};
  for (const auto& c : cases) {
    fake::FakeDirectories dirs;
    dirs.system_dir = c.sys, dirs.windows_dir = c.win;
    fake::FakeProfile profile;
    EXPECT_FALSE(LookupRemark(c.path, kFile, dirs, profile)) << c.path;
    EXPECT_EQ(profile.reads, std::vector<std::string>(*c.read ? 1 : 0, kFile + "|" + c.read)) << c.path;
  }
}

// The value splits into kind|level|remark; an empty value (or none) is no remark.
TEST(LookupRemark, ValueSplitsIntoLevelAndRemark) {
  const std::pair<std::string, const char*> cases[] = {
      {"01", "系统|01|"},   {"高危|病毒常用名", "系统|高危|病毒常用名"},
      {"1", "系统|1|"},     {"01 Windows 服务宿主", "系统|01|Windows 服务宿主"},
      {"01-", "系统|01|"},  {"", "none"},
      {"ab\0"s, "系统|ab|"}};
  for (auto [value, want] : cases) {  // ab\0: the reader's trailing NUL is dropped
    fake::FakeDirectories dirs;
    fake::FakeProfile profile;
    profile.values[kFile + "|sysdir|a.exe"] = value;
    auto r = LookupRemark("C:\\WINDOWS\\system32\\a.exe", kFile, dirs, profile);
    EXPECT_EQ(r ? r->kind + "|" + r->level + "|" + r->remark : "none", want) << value;
  }
}

// The portable rendering, and the status-bar text without the formatter's NUL (empty on failure: StatusBar).
TEST(SizeText, PortableRenderingAndTheFormattersText) {
  for (const auto& c : test::kSizeCases) EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text) << c.bytes;
  struct NulFormatter : SizeFormatter {
    std::optional<std::string> FormatByteSize(std::uint64_t) override { return std::string("1 KB\0", 5); }
  } nul;
  EXPECT_EQ(FormatSize(1024, nul), "1 KB");
}

// One image per whole path, shared by its rows, kept when the file later yields no picture.
TEST(IconStep, OneImagePerPathSharedAndKept) {
  const std::string a = "C:\\WINDOWS\\notepad.exe", b = "D:\\tools\\notepad.exe";
  fake::FakeIcons icons;
  fake::FakeImageList images;
  EXPECT_EQ(IconStep(a, icons, images), std::nullopt);  // no picture, none before
  icons.with_icon = {a, b};
  EXPECT_EQ(IconStep(a, icons, images), a);
  EXPECT_EQ(IconStep(b, icons, images), b);
  icons.with_icon.clear();
  EXPECT_EQ(IconStep(a, icons, images), a);
  EXPECT_EQ(std::tuple(icons.queries, images.images.size()), std::tuple(4, 2u));
}

// Beyond the rules both programs share (non-ASCII names: the code page 936 cases).
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
    {"unquoted before the cut", "[s]\nk=\"" + std::string(300, 'x') + "\"", "s", "k", std::string(254, 'x')},
    {"non-ASCII letters are not folded", "[s]\nÄ=1\n", "s", "ä", ""}};

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
  std::string binary(1u << 20, '\0'), fifty = "[other]\n", crs, nuls(1u << 20, '\0'), big(100u << 10, 'b');
  std::mt19937 gen(7);
  for (char& c : binary) c = static_cast<char>(gen());
  while (fifty.size() < 50u << 20) fifty += "some.key=" + std::string(90, 'v') + "\r\n";
  while (crs.size() < 4u << 20) crs += "j=1\r";
  const ProfileCase cases[] = {
      {"binary data", AfterJunk(binary), "mine", "k", "found"},
      {"50 MB", AfterJunk(fifty), "mine", "k", "found"},
      {"no line feed", "k=" + std::string(10u << 20, 'a'), "", "k", std::string(254, 'a')},
      {"CRs alone", "[mine]\n" + crs + "k=last", "mine", "k", "last"},
      {"NULs", AfterJunk(nuls), "mine", "k", "found"},
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
