// Executable-path rules: native Windows forms become drive paths, nothing
// else is touched, and POSIX paths are never rewritten.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/sys_path.h"

namespace kelvar {
namespace {

struct PathCase {
  const char* in;
  const char* out;
};

TEST(CheckPath, WindowsPaths) {
  const PathCase cases[] = {
      {"\\??\\C:\\WINDOWS\\system32\\winlogon.exe", "C:\\WINDOWS\\system32\\winlogon.exe"},
      {"\\SystemRoot\\System32\\smss.exe", "C:\\WINDOWS\\System32\\smss.exe"},
      {"\\systemroot\\x.exe", "C:\\WINDOWS\\x.exe"},
      {"\\??\\\\SystemRoot\\a.exe", "C:\\WINDOWS\\a.exe"},  // both rules, in that order
      {"\\SYSTEMROOT\\", "C:\\WINDOWS\\"},
      {"\\SYSTEMROOT", "\\SYSTEMROOT"},
      {"\\SYSTEMROOTS\\a.exe", "\\SYSTEMROOTS\\a.exe"},
      {"x\\SystemRoot\\a.exe", "x\\SystemRoot\\a.exe"},
      {"C:\\a\\??\\b.exe", "C:\\ab.exe"},
      {"\\??\\", ""},
      {"\\??\\\\??\\", ""},
      {"\\?\\??\\?\\", "\\??\\"},  // text joined by a removal is not searched again
      {"", ""},
      {"c:\\Program Files\\A.EXE", "c:\\Program Files\\A.EXE"},
      {"C:/dir//a.exe", "C:/dir//a.exe"},
      {"..\\rel.exe", "..\\rel.exe"},
      {"\\SystemRoot\\系统\\a.exe", "C:\\WINDOWS\\系统\\a.exe"},
  };
  fake::FakeDirectories dirs;
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(CheckPath(c.in, dirs), c.out);
  }
}

TEST(CheckPath, SystemRootWithoutWindowsDirectoryKeepsTheRemainder) {
  fake::FakeDirectories dirs;
  dirs.windows_dir = "";
  EXPECT_EQ(CheckPath("\\SystemRoot\\System32\\smss.exe", dirs), "\\System32\\smss.exe");
}

TEST(CheckPath, WindowsDirectoryIsAskedAfreshEachTime) {
  fake::FakeDirectories dirs;
  EXPECT_EQ(CheckPath("\\SystemRoot\\a.exe", dirs), "C:\\WINDOWS\\a.exe");
  dirs.windows_dir = "D:\\WINNT";
  EXPECT_EQ(CheckPath("\\SystemRoot\\a.exe", dirs), "D:\\WINNT\\a.exe");
}

TEST(CheckPath, PosixPathsAreNeverRewritten) {
  const char* paths[] = {"/usr/bin/a\\??\\b", "/\\??\\x", "/SystemRoot/x", "/tmp/trailing ",
                         "/tmp/\\SYSTEMROOT\\x"};
  fake::FakeDirectories dirs;
  for (const char* p : paths) {
    SCOPED_TRACE(p);
    EXPECT_EQ(CheckPath(p, dirs), p);
  }
}

TEST(TrimModulePath, SpacesOnlyAndOnlyForWindowsPaths) {
  const PathCase cases[] = {
      {"  C:\\a.exe  ", "C:\\a.exe"},
      {"C:\\my prog\\a b.exe", "C:\\my prog\\a b.exe"},
      {"\tC:\\a.exe\t", "\tC:\\a.exe\t"},
      {"   ", ""},
      {"/usr/bin/name ", "/usr/bin/name "},
      {"/usr/bin/ lead", "/usr/bin/ lead"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.in);
    std::string path = c.in;
    TrimModulePath(path);
    EXPECT_EQ(path, c.out);
  }
}

}  // namespace
}  // namespace kelvar
