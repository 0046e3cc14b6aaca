// The remark lookup: which section and key a path is looked up under, how a
// value splits into level and remark, and what counts as no entry.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "fake/text_profile.h"
#include "procinfo/ini.h"

namespace kelvar {
namespace {

using namespace std::string_literals;

const std::string kFile = "C:\\Tools\\Comment\\system.ini";

struct LookupCase {
  const char* path;
  const char* section;  // nullptr: the file is not read
  const char* key;
};

TEST(LookupRemark, SectionAndKeyForAPath) {
  const LookupCase cases[] = {
      {"C:\\WINDOWS\\system32\\svchost.exe", "sysdir", "svchost.exe"},
      {"C:\\WINDOWS\\explorer.exe", "windir", "explorer.exe"},
      {"C:\\WINDOWS\\system32\\wbem\\wmiprvse.exe", "sysdir", "wbem\\wmiprvse.exe"},
      {"c:\\windows\\SYSTEM32\\Svchost.exe", "sysdir", "Svchost.exe"},
      {"C:\\WINDOWS\\system32abc\\x.exe", "sysdir", "bc\\x.exe"},
      {"C:\\WINDOWSX\\a.exe", "windir", "\\a.exe"},  // the one character after the directory is skipped, whatever it is
      {"C:\\WINDOWS\\system32", "sysdir", ""},
      {"C:\\Program Files\\x.exe", nullptr, nullptr},
      {"C:\\WIN", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.path);
    fake::FakeDirectories dirs;
    fake::FakeProfile profile;
    EXPECT_FALSE(LookupRemark(c.path, kFile, dirs, profile));
    if (!c.section) {
      EXPECT_TRUE(profile.reads().empty());
      continue;
    }
    ASSERT_EQ(profile.reads().size(), 1u);
    EXPECT_EQ(profile.reads()[0].section, c.section);
    EXPECT_EQ(profile.reads()[0].key, c.key);
    EXPECT_EQ(profile.reads()[0].file, kFile);
  }
}

TEST(LookupRemark, DirectoryPrefixCountsCharactersNotBytes) {
  fake::FakeDirectories dirs;
  dirs.system_dir = "D:\\系统";
  dirs.windows_dir = "D:\\";
  fake::FakeProfile profile;
  LookupRemark("d:\\系统\\程序.exe", kFile, dirs, profile);
  LookupRemark("D:\\系\\a.exe", kFile, dirs, profile);
  ASSERT_EQ(profile.reads().size(), 2u);
  EXPECT_EQ(profile.reads()[0].section, "sysdir");
  EXPECT_EQ(profile.reads()[0].key, "程序.exe");
  EXPECT_EQ(profile.reads()[1].section, "windir");
  EXPECT_EQ(profile.reads()[1].key, "\\a.exe");  // "D:\" has 3 characters; the 4th is skipped
}

TEST(LookupRemark, EmptyDirectoryMatchesEveryPath) {
  fake::FakeDirectories dirs;
  dirs.system_dir = "";
  fake::FakeProfile profile;
  profile.Set(kFile, "sysdir", ":\\Program Files\\x.exe", "01 x");
  EXPECT_TRUE(LookupRemark("C:\\Program Files\\x.exe", kFile, dirs, profile));
}

TEST(LookupRemark, SystemDirectoryWinsEvenWithoutAnEntry) {
  fake::FakeDirectories dirs;
  fake::FakeProfile profile;
  profile.Set(kFile, "windir", "system32\\foo.exe", "01 windir entry");
  EXPECT_FALSE(LookupRemark("C:\\WINDOWS\\system32\\foo.exe", kFile, dirs, profile));
}

struct SplitCase {
  std::string value;
  const char* level;
  const char* remark;
};

TEST(LookupRemark, ValueSplitsIntoLevelAndRemark) {
  const SplitCase cases[] = {
      {"01 Windows 服务宿主", "01", "Windows 服务宿主"},
      {"01", "01", ""},
      {"1", "1", ""},
      {"01-", "01", ""},
      {"高危|病毒常用名", "高危", "病毒常用名"},
      {"0a\xE3\x80\x80x", "0a", "x"},  // an ideographic space as separator
      {"ab\0"s, "ab", ""},  // the reader's trailing NUL is dropped
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.value);
    fake::FakeDirectories dirs;
    fake::FakeProfile profile;
    profile.Set(kFile, "sysdir", "a.exe", c.value);
    auto r = LookupRemark("C:\\WINDOWS\\system32\\a.exe", kFile, dirs, profile);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, "系统");
    EXPECT_EQ(r->level, c.level);
    EXPECT_EQ(r->remark, c.remark);
  }
}

TEST(LookupRemark, ThroughTheProfileRules) {
  fake::TextProfile profile;
  profile.Put(kFile,
              "; known executables\r\n"
              "[SysDir]\r\n"
              "SVCHOST.EXE = 01 服务宿主\r\n"
              "wbem\\wmiprvse.exe=02 WMI\r\n"
              "empty.exe=\r\n"
              "[windir]\r\n"
              "explorer.exe=00 外壳\r\n");
  fake::FakeDirectories dirs;
  auto svchost = LookupRemark("c:\\windows\\SYSTEM32\\Svchost.exe", kFile, dirs, profile);
  ASSERT_TRUE(svchost);
  EXPECT_EQ(svchost->level, "01");
  EXPECT_EQ(svchost->remark, "服务宿主");
  auto wmi = LookupRemark("C:\\WINDOWS\\system32\\wbem\\wmiprvse.exe", kFile, dirs, profile);
  ASSERT_TRUE(wmi);
  EXPECT_EQ(wmi->remark, "WMI");
  auto explorer = LookupRemark("C:\\WINDOWS\\explorer.exe", kFile, dirs, profile);
  ASSERT_TRUE(explorer);
  EXPECT_EQ(explorer->remark, "外壳");
  EXPECT_FALSE(LookupRemark("C:\\WINDOWS\\system32\\empty.exe", kFile, dirs, profile));
  EXPECT_FALSE(LookupRemark("C:\\WINDOWS\\system32\\none.exe", kFile, dirs, profile));
  EXPECT_FALSE(LookupRemark("C:\\WINDOWS\\system32\\svchost.exe", "C:\\other.ini", dirs, profile));
}

TEST(TrimNull, DropsOneTrailingNulOnly) {
  using modINI::TrimNull;
  EXPECT_EQ(TrimNull(""), "");
  EXPECT_EQ(TrimNull(std::string("a\0", 2)), "a");
  EXPECT_EQ(TrimNull(std::string("a\0\0", 3)), std::string("a\0", 2));
  EXPECT_EQ(TrimNull(std::string("\0a", 2)), std::string("\0a", 2));
}

}  // namespace
}  // namespace kelvar
