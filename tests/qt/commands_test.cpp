// End and delete into a throw-away home trash, through the real window and
// its real message boxes on real processes: file names a byte-unsafe path
// gets wrong, no usable trash, and a file at the path that is no longer the
// one the process runs.  (Ending alone is the core's and the adapters'.)
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

Child StartCopy(const std::string& path) {
  EXPECT_TRUE(CopySleep(path)) << path;
  return Child::Spawn(path);
}

// A copy of sleep at `path`, started, waited for in the list and selected.
struct Listed {
  Listed(RealProgram& p, const std::string& path) : child(StartCopy(path)) {
    EXPECT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != 0; })) << path;
    row = p.RowOf(child.pid());
    if (row) p.form().OnItemClick(row);
  }
  Child child;
  int row = 0;
};

class EndAndDelete : public ::testing::TestWithParam<std::string> {};

TEST_P(EndAndDelete, SendsTheExactFileToTheTrash) {
  RealProgram p;
  TempDir dir;
  std::string exe = dir.path();
  if (GetParam() == "long") {  // a folder chain that puts the file past 3,000 bytes
    for (char c = 'a'; exe.size() < 3000; ++c) ::mkdir((exe += "/" + std::string(200, c)).c_str(), 0700);
  }
  exe += "/" + GetParam();
  p.Start();
  Listed listed(p, exe);
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
  EXPECT_EQ(hand.seen[0].title, QStringLiteral("Kelvar进程管理"));
  EXPECT_EQ(hand.seen[0].icon, QMessageBox::Warning);
  QStringList buttons{kOk, kCancel};
  if (GetParam() == "long") buttons.append(QStringLiteral("显示详细信息(&D)"));
  EXPECT_EQ(hand.seen[0].buttons, buttons);
  EXPECT_EQ(hand.seen[0].default_button, kOk);
  EXPECT_TRUE(hand.seen[1].text.startsWith(QStringLiteral("确实要把此文件放入回收站吗？")));
  EXPECT_TRUE(PollUntil([&] { return listed.child.Ended(); }));
  EXPECT_FALSE(Exists(exe));
  std::string trash = p.home() + "/data/Trash", base = GetParam();
  EXPECT_EQ(ReadFile(trash + "/files/" + base), ReadFile("/bin/sleep"));
  std::string info = ReadFile(trash + "/info/" + base + ".trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + PercentEncodePath(exe) + "\nDeletionDate=", 0), 0u) << info;
}

INSTANTIATE_TEST_SUITE_P(Names, EndAndDelete,
                         ::testing::Values("sleep with  spaces ", "进程 睡眠", "bad\xff\xfe\xc3name",
                                           "line\nbreak", "x\\??\\y", "long"));

// Where the home trash cannot be made (a plain file where a folder must be)
// the file stays and the user is told.
TEST(NoTrash, FileStaysAndTheUserIsTold) {
  for (std::string blocker : {"/Trash", "/Trash/files", "/Trash/info"}) {
    SCOPED_TRACE(blocker);
    TempDir home;
    std::string data = home.path() + "/data";
    std::filesystem::create_directories(data + blocker.substr(0, blocker.rfind('/')));
    ASSERT_TRUE(CopySleep(data + blocker));
    RealProgram p(data);
    std::string exe = home.path() + "/kelvar-stays";
    p.Start();
    Listed listed(p, exe);
    BoxAnswerer hand({kOk, kYes, kOk});
    p.form().MenuClick("end_and_trash");
    ASSERT_EQ(hand.seen.size(), 3u);
    EXPECT_EQ(hand.seen[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(hand.seen[2].text.startsWith(QStringLiteral("无法把文件放入回收站")));
    EXPECT_TRUE(hand.seen[2].text.contains(QString::fromStdString(exe)));
    EXPECT_TRUE(Exists(exe));
  }
}

// The executable replaced while it runs, after its row was made; or deleted,
// before its row was made, with an unrelated file where the kernel's
// " (deleted)" mark points.  Ending and deleting ends the process, sends no
// file to the trash and says so in one box.
TEST(ChangedExecutable, NothingGoesToTheTrash) {
  for (const bool replace : {true, false}) {
    SCOPED_TRACE(replace ? "replaced" : "deleted");
    RealProgram p;
    const std::string exe = p.home() + "/kelvar-changed", other = replace ? exe : exe + " (deleted)";
    Child child = StartCopy(exe);
    auto change = [&] {
      ASSERT_EQ(::unlink(exe.c_str()), 0);
      ASSERT_TRUE(CopyExecutable("/bin/true", other));
    };
    if (!replace) change();
    p.Start();
    ASSERT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != 0; }));
    p.form().OnItemClick(p.RowOf(child.pid()));
    if (replace) change();

    BoxAnswerer hand({kOk, kOk});
    p.form().MenuClick("end_and_trash");
    ASSERT_EQ(hand.seen.size(), 2u);
    EXPECT_EQ(hand.seen[1].title, QStringLiteral("Kelvar进程管理"));
    EXPECT_EQ(hand.seen[1].text,
              MessageText("进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + exe));
    EXPECT_EQ(hand.seen[1].icon, QMessageBox::Information);
    EXPECT_TRUE(PollUntil([&] { return child.Ended(); }));
    EXPECT_EQ(ReadFile(other), ReadFile("/bin/true"));
    EXPECT_FALSE(Exists(p.home() + "/data/Trash/files/kelvar-changed"));
    EXPECT_FALSE(Exists(p.home() + "/data/Trash/files/kelvar-changed (deleted)"));
  }
}

}  // namespace
}  // namespace kelvar::qt::test
