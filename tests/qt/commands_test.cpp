// The commands through the real window on real processes: the question box,
// ending, and ending and deleting into a throw-away home trash, for file names
// that a byte-unsafe path would get wrong, with no usable trash, or when the
// file at the path is no longer the file the process runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QMessageBox>

#include "monitor/row_store.h"
#include "platform/qt/display_text.h"
#include "platform/qt/file_uri.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");
const QString kYes = QStringLiteral("是(&Y)");

// Starts a copy of sleep at `path`, waits for its row and selects it.
struct Listed {
  Listed(RealProgram& p, const std::string& path) : child(path) {
    EXPECT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != 0; })) << path;
    row = p.RowOf(child.pid());
    if (row) p.form().List1_ItemClick(row);
  }
  Child child;
  int row = 0;
};

TEST(Commands, EndProcessAsksThenEnds) {
  RealProgram p;
  TempDir dir;
  std::string exe = dir.path() + "/kelvar-end-me";
  CopyExecutable("/usr/bin/sleep", exe);
  p.Start();
  Listed listed(p, exe);
  {
    BoxAnswerer hand({kCancel});
    p.form().MenuClick("mnuEndPro");
    ASSERT_EQ(hand.seen().size(), 1u);
    const BoxSeen& box = hand.seen()[0];
    EXPECT_EQ(box.title, QStringLiteral("Kelvar进程管理"));
    EXPECT_EQ(box.text, QStringLiteral("确定要结束进程 kelvar-end-me 吗？"));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttons, (QStringList{kOk, kCancel}));
    EXPECT_EQ(box.default_button, kOk);
  }
  EXPECT_FALSE(listed.child.Ended());
  BoxAnswerer hand({kOk});
  p.form().MenuClick("mnuEndPro");
  EXPECT_TRUE(PollUntil([&] { return listed.child.Ended(); }));
  EXPECT_TRUE(Exists(exe));
}

struct Hostile {
  const char* what;
  std::string name;
};
void PrintTo(const Hostile& h, std::ostream* os) { *os << h.what; }

// A folder chain long enough to put the file past 3,000 bytes.
std::string LongFolder(const std::string& base) {
  std::string path = base;
  for (int i = 0; path.size() < 3000; ++i) {
    path += "/" + std::string(200, static_cast<char>('a' + i));
    ::mkdir(path.c_str(), 0700);
  }
  return path;
}

class EndAndDelete : public ::testing::TestWithParam<Hostile> {};

TEST_P(EndAndDelete, SendsTheExactFileToTheTrash) {
  RealProgram p;
  TempDir dir;
  std::string folder = GetParam().name == "long" ? LongFolder(dir.path()) : dir.path();
  std::string exe = folder + "/" + (GetParam().name == "long" ? "long-sleep" : GetParam().name);
  CopyExecutable("/usr/bin/sleep", exe);
  std::string bytes = ReadFile(exe);
  p.Start();
  Listed listed(p, exe);
  ASSERT_NE(listed.row, 0);
  EXPECT_EQ(p.rows().SubItem(listed.row, cell::kPath), exe);
  EXPECT_EQ(p.window().Model().data(p.window().Model().index(listed.row - 1, 6), Qt::DisplayRole).toString(),
            DisplayText(exe));

  BoxAnswerer hand({kOk, kYes});
  p.form().MenuClick("mnuDelPro");
  ASSERT_EQ(hand.seen().size(), 2u);
  EXPECT_EQ(hand.seen()[0].text, MessageText("确定要结束进程并删除以下文件吗？\r\n\r\n" + exe));
  EXPECT_EQ(hand.seen()[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(hand.seen()[1].text.startsWith(QStringLiteral("确实要把此文件放入回收站吗？")));
  EXPECT_TRUE(PollUntil([&] { return listed.child.Ended(); }));

  EXPECT_FALSE(Exists(exe));
  std::string trash = p.home() + "/data/Trash";
  std::string base = exe.substr(exe.rfind('/') + 1);
  EXPECT_EQ(ReadFile(trash + "/files/" + base), bytes);
  std::string info = ReadFile(trash + "/info/" + base + ".trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + PercentEncodePath(exe) + "\nDeletionDate=", 0), 0u) << info;
}

INSTANTIATE_TEST_SUITE_P(Names, EndAndDelete,
                         ::testing::Values(Hostile{"spaces", "sleep with  spaces "},
                                           Hostile{"chinese", "进程 睡眠"},
                                           Hostile{"invalid_utf8", "bad\xff\xfe\xc3name"},
                                           Hostile{"newline", "line\nbreak"},
                                           Hostile{"native_prefix", "x\\??\\y"}, Hostile{"long", "long"}),
                         [](const auto& info) { return std::string(info.param.what); });

// Where the home trash cannot be made the file stays and the user is told.
struct Blocker {
  const char* what;
  const char* file_in_the_way;  // below the data home
};
void PrintTo(const Blocker& b, std::ostream* os) { *os << b.what; }

class NoTrash : public ::testing::TestWithParam<Blocker> {};

TEST_P(NoTrash, FileStaysAndTheUserIsTold) {
  TempDir home, dir;
  std::string data = home.path() + "/data";
  std::string blocker = data + GetParam().file_in_the_way;
  for (std::size_t slash = home.path().size() + 1;
       (slash = blocker.find('/', slash + 1)) != std::string::npos;)
    ::mkdir(blocker.substr(0, slash).c_str(), 0700);
  CopyExecutable("/usr/bin/true", blocker);  // a plain file where a folder must be
  RealProgram p(data);
  std::string exe = dir.path() + "/kelvar-stays";
  CopyExecutable("/usr/bin/sleep", exe);
  p.Start();
  Listed listed(p, exe);
  BoxAnswerer hand({kOk, kYes, kOk});
  p.form().MenuClick("mnuDelPro");
  ASSERT_EQ(hand.seen().size(), 3u);
  EXPECT_EQ(hand.seen()[2].icon, QMessageBox::Critical);
  EXPECT_TRUE(hand.seen()[2].text.contains(QString::fromStdString(exe)));
  EXPECT_TRUE(hand.seen()[2].text.startsWith(QStringLiteral("无法把文件放入回收站")));
  EXPECT_TRUE(Exists(exe));
}

INSTANTIATE_TEST_SUITE_P(Blockers, NoTrash,
                         ::testing::Values(Blocker{"trash_is_a_file", "/Trash"},
                                           Blocker{"files_is_a_file", "/Trash/files"},
                                           Blocker{"info_is_a_file", "/Trash/info"}),
                         [](const auto& info) { return std::string(info.param.what); });

// The executable replaced while it runs, after its row was made; or deleted,
// before its row was made, with an unrelated file where the kernel's
// " (deleted)" mark points.  Ending and deleting ends the process, sends no
// file to the trash and says so in one box.
struct Change {
  const char* what;
  bool before_listing;
};
void PrintTo(const Change& c, std::ostream* os) { *os << c.what; }

class ChangedExecutable : public ::testing::TestWithParam<Change> {};

TEST_P(ChangedExecutable, NothingGoesToTheTrash) {
  RealProgram p;
  TempDir dir;
  const std::string exe = dir.path() + "/kelvar-changed";
  const bool replace = std::string(GetParam().what) == "replaced";
  const std::string other = replace ? exe : exe + " (deleted)";
  CopyExecutable("/usr/bin/sleep", exe);
  Child child(exe);
  auto change = [&] {
    if (replace) {
      CopyExecutable("/usr/bin/true", exe + ".new");
      ASSERT_EQ(::rename((exe + ".new").c_str(), exe.c_str()), 0);
    } else {
      ASSERT_EQ(::unlink(exe.c_str()), 0);
      CopyExecutable("/usr/bin/true", other);
    }
  };
  if (GetParam().before_listing) change();
  p.Start();
  ASSERT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != 0; }));
  p.form().List1_ItemClick(p.RowOf(child.pid()));
  if (!GetParam().before_listing) change();

  BoxAnswerer hand({kOk, kOk});
  p.form().MenuClick("mnuDelPro");
  ASSERT_EQ(hand.seen().size(), 2u);
  EXPECT_EQ(hand.seen()[1].title, QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(hand.seen()[1].text,
            MessageText("进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + exe));
  EXPECT_EQ(hand.seen()[1].icon, QMessageBox::Information);
  EXPECT_TRUE(PollUntil([&] { return child.Ended(); }));
  EXPECT_EQ(ReadFile(other), ReadFile("/usr/bin/true"));
  EXPECT_FALSE(Exists(p.home() + "/data/Trash/files/kelvar-changed"));
  EXPECT_FALSE(Exists(p.home() + "/data/Trash/files/kelvar-changed (deleted)"));
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedExecutable,
                         ::testing::Values(Change{"replaced", false}, Change{"deleted", true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace kelvar::qt::test
