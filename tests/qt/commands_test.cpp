// End, and end and delete into a throw-away home trash, through the real window
// on real processes: file names a byte-unsafe path gets wrong, no usable
// trash, and a file at the path that is no longer the one the process runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "monitor/row_store.h"
#include "platform/linux/file_uri.h"
#include "platform/qt/display_text.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

const QString kOk = QStringLiteral("确定"), kCancel = QStringLiteral("取消"), kYes = QStringLiteral("是(&Y)");

// A copy of sleep at `path`, started, waited for in the list and selected.
struct Listed {
  Listed(RealProgram& p, const std::string& path) : child((CopyExecutable("/usr/bin/sleep", path), path)) {
    EXPECT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != 0; })) << path;
    row = p.RowOf(child.pid());
    if (row) p.form().OnItemClick(row);
  }
  Child child;
  int row = 0;
};

TEST(Commands, EndProcessAsksThenEnds) {
  RealProgram p;
  QTemporaryDir dir;
  std::string exe = dir.path().toStdString() + "/kelvar-end-me";
  p.Start();
  Listed listed(p, exe);
  {
    BoxAnswerer hand({kCancel});
    p.form().MenuClick("end_process");
    ASSERT_EQ(hand.seen.size(), 1u);
    EXPECT_EQ(hand.seen[0].title, QStringLiteral("Kelvar进程管理"));
    EXPECT_EQ(hand.seen[0].text, QStringLiteral("确定要结束进程 kelvar-end-me 吗？"));
    EXPECT_EQ(hand.seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(hand.seen[0].buttons, (QStringList{kOk, kCancel}));
    EXPECT_EQ(hand.seen[0].default_button, kOk);
  }
  EXPECT_FALSE(listed.child.Ended());
  BoxAnswerer hand({kOk});
  p.form().MenuClick("end_process");
  EXPECT_TRUE(PollUntil([&] { return listed.child.Ended(); }));
  EXPECT_TRUE(Exists(exe));
}

class EndAndDelete : public ::testing::TestWithParam<std::string> {};

TEST_P(EndAndDelete, SendsTheExactFileToTheTrash) {
  RealProgram p;
  QTemporaryDir dir;
  std::string exe = dir.path().toStdString();
  if (GetParam() == "long") {  // a folder chain that puts the file past 3,000 bytes
    for (char c = 'a'; exe.size() < 3000; ++c) ::mkdir((exe += "/" + std::string(200, c)).c_str(), 0700);
  }
  exe += "/" + GetParam();
  p.Start();
  Listed listed(p, exe);
  std::string bytes = ReadFile(exe);
  ASSERT_NE(listed.row, 0);
  EXPECT_EQ(p.rows().Text(listed.row, column::kPath), exe);
  RowModel& model = p.window().Model();
  EXPECT_EQ(model.data(model.index(listed.row - 1, 6), Qt::DisplayRole).toString(), DisplayText(exe));

  BoxAnswerer hand({kOk, kYes});
  p.form().MenuClick("end_and_trash");
  ASSERT_EQ(hand.seen.size(), 2u);
  // The path as its row shows it, on lines the box holds.
  const QString question = QStringLiteral("确定要结束进程并删除以下文件吗？\n\n");
  EXPECT_TRUE(hand.seen[0].text.startsWith(question));
  const QString full = DisplayText(exe), shown = hand.seen[0].text.mid(question.size()).remove(u'\n');
  if (GetParam() == "long") {  // its first and last lines
    const QStringList ends = shown.split(QStringLiteral("…"));
    ASSERT_EQ(ends.size(), 2);
    EXPECT_TRUE(full.startsWith(ends[0]) && full.endsWith(ends[1])) << shown.toStdString();
  } else {
    EXPECT_EQ(shown, full);
  }
  EXPECT_TRUE(hand.seen[0].fits);
  // The whole path, shortened or not, selectable in the box.
  EXPECT_EQ(hand.seen[0].selectable.remove(u'\n'), QString(question).remove(u'\n') + full);
  EXPECT_EQ(hand.seen[0].buttons.contains(QStringLiteral("显示详细信息(&D)")), GetParam() == "long");
  EXPECT_EQ(hand.seen[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(hand.seen[1].text.startsWith(QStringLiteral("确实要把此文件放入回收站吗？")));
  EXPECT_TRUE(PollUntil([&] { return listed.child.Ended(); }));
  EXPECT_FALSE(Exists(exe));
  std::string trash = p.home() + "/data/Trash", base = GetParam();
  EXPECT_EQ(ReadFile(trash + "/files/" + base), bytes);
  std::string info = ReadFile(trash + "/info/" + base + ".trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + PercentEncodePath(exe) + "\nDeletionDate=", 0), 0u) << info;
}

INSTANTIATE_TEST_SUITE_P(Names, EndAndDelete,
                         ::testing::Values("sleep with  spaces ", "进程 睡眠", "bad\xff\xfe\xc3name",
                                           "line\nbreak", "x\\??\\y", "long"));

// Where the home trash cannot be made the file stays and the user is told.
class NoTrash : public ::testing::TestWithParam<std::string> {};

TEST_P(NoTrash, FileStaysAndTheUserIsTold) {
  QTemporaryDir home, dir;
  std::string data = home.path().toStdString() + "/data";
  std::filesystem::create_directories(data + GetParam().substr(0, GetParam().rfind('/')));
  CopyExecutable("/usr/bin/true", data + GetParam());  // a plain file where a folder must be
  RealProgram p(data);
  std::string exe = dir.path().toStdString() + "/kelvar-stays";
  p.Start();
  Listed listed(p, exe);
  BoxAnswerer hand({kOk, kYes, kOk});
  p.form().MenuClick("end_and_trash");
  ASSERT_EQ(hand.seen.size(), 3u);
  EXPECT_EQ(hand.seen[2].icon, QMessageBox::Critical);
  EXPECT_TRUE(hand.seen[2].text.contains(QString::fromStdString(exe)));
  EXPECT_TRUE(hand.seen[2].text.startsWith(QStringLiteral("无法把文件放入回收站")));
  EXPECT_TRUE(Exists(exe));
}

INSTANTIATE_TEST_SUITE_P(Blockers, NoTrash, ::testing::Values("/Trash", "/Trash/files", "/Trash/info"));

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
  QTemporaryDir dir;
  const std::string exe = dir.path().toStdString() + "/kelvar-changed";
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
  p.form().OnItemClick(p.RowOf(child.pid()));
  if (!GetParam().before_listing) change();

  BoxAnswerer hand({kOk, kOk});
  p.form().MenuClick("end_and_trash");
  ASSERT_EQ(hand.seen.size(), 2u);
  EXPECT_EQ(hand.seen[1].title, QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(hand.seen[1].text,
            MessageText("进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + exe));
  EXPECT_EQ(hand.seen[1].icon, QMessageBox::Information);
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
