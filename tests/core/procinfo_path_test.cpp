// Executable paths: native Windows forms become drive paths; POSIX paths stay.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/sys_path.h"

namespace kelvar {
namespace {

struct PathCase {
  const char* in;
  const char* out;
};

TEST(CheckPath, Rules) {
  const PathCase cases[] = {
      {"\\??\\C:\\WINDOWS\\system32\\winlogon.exe", "C:\\WINDOWS\\system32\\winlogon.exe"},
      {"\\SystemRoot\\System32\\smss.exe", "C:\\WINDOWS\\System32\\smss.exe"},
      {"\\systemroot\\x.exe", "C:\\WINDOWS\\x.exe"},
      {"\\??\\\\SystemRoot\\a.exe", "C:\\WINDOWS\\a.exe"},  // both rules, in that order
      {"\\SYSTEMROOTS\\a.exe", "\\SYSTEMROOTS\\a.exe"},
      {"x\\SystemRoot\\a.exe", "x\\SystemRoot\\a.exe"},
      {"C:\\a\\??\\b.exe", "C:\\ab.exe"},
      {"\\?\\??\\?\\", "\\??\\"},  // text joined by a removal is not searched again
      {"\\SystemRoot\\系统\\a.exe", "C:\\WINDOWS\\系统\\a.exe"},
      {"/usr/bin/a\\??\\b", "/usr/bin/a\\??\\b"}};  // POSIX paths are never rewritten
  fake::FakeDirectories dirs;
  for (const PathCase& c : cases) EXPECT_EQ(CheckPath(c.in, dirs), c.out) << c.in;
  dirs.windows_dir = "";
  EXPECT_EQ(CheckPath("\\SystemRoot\\System32\\smss.exe", dirs), "\\System32\\smss.exe");
}

TEST(TrimModulePath, SpacesOnlyAndOnlyForWindowsPaths) {
  const PathCase cases[] = {{"  C:\\my prog\\a b.exe  ", "C:\\my prog\\a b.exe"},
                            {"\tC:\\a.exe\t", "\tC:\\a.exe\t"},
                            {"   ", ""},
                            {"/usr/bin/name ", "/usr/bin/name "}};
  for (const PathCase& c : cases) {
    std::string path = c.in;
    TrimModulePath(path);
    EXPECT_EQ(path, c.out) << c.in;
  }
}

}  // namespace
}  // namespace kelvar
