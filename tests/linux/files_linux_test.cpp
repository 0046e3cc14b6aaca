// The file-side adapters: the remark file read as GBK or, after a UTF-8 mark,
// as UTF-8, and hostile remark files; the file search on names that are
// bytes; the directories.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "test_support.h"

namespace kelvar::test {
namespace {

class FilesLinuxTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  TempDir dir_;
  LinuxProfileReader profile_;
  LinuxFileSearch files_;
};

// GBK bytes: 核心 BA CB D0 C4, 中文 D6 D0 CE C4, 系统 CF B5 CD B3.
TEST_F(FilesLinuxTest, RemarkFileEncodings) {
  const std::string gbk = Write("gbk.ini",
                                "[sysdir]\r\nbash=\xBA\xCB\xD0\xC4 Bourne-again shell\r\n"
                                "\xD6\xD0\xCE\xC4.exe=\xCF\xB5\xCD\xB3\r\nbad=\x81\x20x\r\n"
                                "long=" + [] { std::string s; for (int i = 0; i < 200; ++i) s += "\xD6\xD0"; return s; }() +
                                "\r\n[windir]\r\nx=1\r\n");
  const std::string utf8 = Write("utf8.ini", "\xEF\xBB\xBF[sysdir]\nbash=核心 shell\n中文.exe=系统\nbad=a\xFF" "b\n");
  std::string long_value;
  for (int i = 0; i < 127; ++i) long_value += "中";  // 254 GBK bytes: whole characters only
  const struct {
    std::string file, section, key, value;
  } cases[] = {
      {gbk, "sysdir", "bash", "核心 Bourne-again shell"},
      {gbk, "SYSDIR", "BASH", "核心 Bourne-again shell"},
      {gbk, "sysdir", "中文.exe", "系统"},
      {gbk, "sysdir", "bad", "\uFFFD x"},
      {gbk, "sysdir", "long", long_value},
      {gbk, "windir", "x", "1"},
      {gbk, "sysdir", "😀", ""},  // no GBK for it: matches nothing
      {gbk, "sysdir", "missing", ""},
      {utf8, "sysdir", "bash", "核心 shell"},
      {utf8, "sysdir", "中文.exe", "系统"},
      {utf8, "sysdir", "bad", "a\uFFFDb"},
      {dir_.path() + "/none.ini", "sysdir", "bash", ""},
      {dir_.path(), "sysdir", "bash", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(profile_.GetString(c.section, c.key, c.file), c.value) << c.file << " " << c.key;
}

TEST_F(FilesLinuxTest, HostileRemarkFilesAreReadWithoutHarm) {
  std::string big = "[sysdir]\nk=v\n";
  big.append(50 << 20, 'x');  // 50 MB without a line break
  std::string binary(1 << 20, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random());
  const std::string nul("[sysdir]\nk=ab\0cd\n", 17);
  const std::string fifo = dir_.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(profile_.GetString("sysdir", "k", Write("big.ini", big)), "v");
  EXPECT_EQ(profile_.GetString("other", "k", Write("big.ini", big)), "");
  EXPECT_EQ(profile_.GetString("sysdir", "k", Write("nul.ini", nul)), "ab");
  EXPECT_EQ(profile_.GetString("sysdir", "k", Write("bin.ini", binary)).find('\0'), std::string::npos);
  EXPECT_EQ(profile_.GetString("sysdir", "k", Write("bom-bin.ini", "\xEF\xBB\xBF" + binary)).find('\0'),
            std::string::npos);
  EXPECT_EQ(profile_.GetString("sysdir", "k", fifo), "");  // and does not wait for a writer
  EXPECT_EQ(profile_.GetString("sysdir", "k", "/dev/zero"), "");
}

TEST_F(FilesLinuxTest, FileSearchFindsFilesByTheirBytes) {
  const std::string names[] = {"plain", "with space", "new\nline", "bad\xff", "trailing ", "a\\??\\b", ".hidden"};
  for (const std::string& name : names) EXPECT_EQ(files_.FindFileName(Write(name, "x")), name);
  const std::string file = Write("target", "x");
  ASSERT_EQ(::symlink(file.c_str(), (dir_.path() + "/link").c_str()), 0);
  ASSERT_EQ(::symlink("/nonexistent", (dir_.path() + "/dangling").c_str()), 0);
  ASSERT_EQ(::mkdir((dir_.path() + "/folder").c_str(), 0755), 0);
  const struct {
    std::string path, name;
  } cases[] = {
      {dir_.path() + "/link", "link"},
      {dir_.path() + "/dangling", ""},
      {dir_.path() + "/folder", ""},
      {dir_.path() + "/missing", ""},
      {file + "/", ""},
      {file + std::string(1, '\0') + "more", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(files_.FindFileName(c.path), c.name) << c.path;
}

TEST_F(FilesLinuxTest, Directories) {
  LinuxDirectories dirs;
  EXPECT_EQ(dirs.SystemDirectory(), "/usr/bin");
  EXPECT_EQ(dirs.WindowsDirectory(), "/usr");
  char self[4096];
  ssize_t n = ::readlink("/proc/self/exe", self, sizeof self);
  ASSERT_GT(n, 0);
  const std::string exe(self, static_cast<std::size_t>(n));
  EXPECT_EQ(dirs.ProgramFolder() + "/" + files_.FindFileName(exe), exe);
  EXPECT_EQ(FolderOf("/kelvarpm"), "/");
  EXPECT_EQ(FolderOf("/opt/kelvar/kelvarpm"), "/opt/kelvar");
}

}  // namespace
}  // namespace kelvar::test
