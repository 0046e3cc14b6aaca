// The remark lookup: section and key for a path, level and remark from a value.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/ini.h"

namespace kelvar {
namespace {

using namespace std::string_literals;

const std::string kFile = "C:\\Tools\\Comment\\system.ini";

// The section and key read, as "section|key"; "" when the file is not read.
TEST(LookupRemark, SectionAndKeyForAPath) {
  const struct {
    const char *sys, *win, *path, *read;
  } cases[] = {
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\system32\\svchost.exe", "sysdir|svchost.exe"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\explorer.exe", "windir|explorer.exe"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\system32\\wbem\\w.exe", "sysdir|wbem\\w.exe"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "c:\\windows\\SYSTEM32\\Svchost.exe", "sysdir|Svchost.exe"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\system32abc\\x.exe", "sysdir|bc\\x.exe"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\system32", "sysdir|"},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Program Files\\x.exe", ""},
      {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WIN", ""},
      {"", "C:\\WINDOWS", "C:\\Program Files\\x.exe", "sysdir|:\\Program Files\\x.exe"},
      // Characters, not bytes: "D:\" is three, and the fourth is skipped whole.
      {"D:\\系统", "D:\\", "d:\\系统\\程序.exe", "sysdir|程序.exe"},
      {"D:\\系统", "D:\\", "D:\\系\\a.exe", "windir|\\a.exe"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    fake::FakeDirectories dirs;
    dirs.system_dir = c.sys;
    dirs.windows_dir = c.win;
    fake::FakeProfile profile;
    EXPECT_FALSE(LookupRemark(c.path, kFile, dirs, profile));
    std::string read;
    for (const auto& r : profile.reads()) read += (r.file == kFile ? r.section : "?") + "|" + r.key;
    EXPECT_EQ(read, c.read);
  }
}

// An empty value (or none) is no remark.
TEST(LookupRemark, ValueSplitsIntoLevelAndRemark) {
  const struct {
    std::string value;
    const char *level, *remark;
  } cases[] = {{"01 Windows 服务宿主", "01", "Windows 服务宿主"},
               {"01", "01", ""},
               {"1", "1", ""},
               {"01-", "01", ""},
               {"高危|病毒常用名", "高危", "病毒常用名"},
               {"ab\0"s, "ab", ""},  // the reader's trailing NUL is dropped
               {"", nullptr, nullptr}};
  for (const auto& c : cases) {
    fake::FakeDirectories dirs;
    fake::FakeProfile profile;
    profile.Set(kFile, "sysdir", "a.exe", c.value);
    auto r = LookupRemark("C:\\WINDOWS\\system32\\a.exe", kFile, dirs, profile);
    ASSERT_EQ(r.has_value(), c.level != nullptr) << c.value;
    if (!r) continue;
    EXPECT_EQ(r->kind, "系统");
    EXPECT_EQ(r->level, c.level);
    EXPECT_EQ(r->remark, c.remark);
  }
}

}  // namespace
}  // namespace kelvar
