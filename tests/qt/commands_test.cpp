// End and delete through the real window and message boxes on real
// processes, into a throw-away home trash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/linux/file_uri.h"
#include "platform/qt/display_text.h"
#include "test_program.h"

namespace kelvar::qt::test {
namespace {

const QString kOk = QStringLiteral("确定"), kYes = QStringLiteral("是(&Y)");

// Names a byte-unsafe path gets wrong, and a 3 KB path: the box shortens it
// to its ends, yet the whole path is selectable behind a details button.
class EndAndDelete : public ::testing::TestWithParam<std::string> {};

TEST_P(EndAndDelete, SendsTheExactFileToTheTrash) {
  const bool is_long = GetParam() == "long";
  RealProgram p;
  std::string exe = p.home.path();
  for (char c = 'a'; is_long && exe.size() < 3000; ++c)
    ::mkdir((exe += "/" + std::string(200, c)).c_str(), 0700);
  exe += "/" + GetParam();
  p.Start();
  ASSERT_TRUE(CopySleep(exe));
  Child child = Child::Spawn(exe);
  ASSERT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != kNoRow; }));
  const int row = p.RowOf(child.pid());
  p.form().OnItemClick(row);
  EXPECT_EQ(p.window().Model().index(row, 6).data().toString(), DisplayText(exe));

  BoxAnswerer hand({kOk, kYes});
  p.form().OnCommand(form::Command::kEndAndTrash);
  ASSERT_EQ(hand.seen.size(), 2u);
  const BoxSeen& asked = hand.seen[0];
  const QString question = QStringLiteral("确定要结束进程并删除以下文件吗？\n\n"), full = DisplayText(exe);
  const QStringList ends = asked.text.mid(question.size()).remove(u'\n').split(QStringLiteral("…"));
  EXPECT_TRUE(asked.text.startsWith(question) &&
              (is_long ? ends.size() == 2 && full.startsWith(ends[0]) && full.endsWith(ends[1])
                       : ends == QStringList{full}))
      << asked.text.toStdString();
  EXPECT_EQ(QString(asked.selectable).remove(u'\n'), QString(question).remove(u'\n') + full);
  EXPECT_EQ(asked.buttons, QStringList({kOk, QStringLiteral("取消")}) +
                               (is_long ? QStringList{QStringLiteral("显示详细信息(&D)")} : QStringList{}));
  EXPECT_TRUE(PollUntil([&] { return child.Ended(); }));
  EXPECT_FALSE(Exists(exe));
  EXPECT_EQ(ReadFile(p.data + "/Trash/files/" + GetParam()), ReadFile("/bin/sleep"));
  const std::string info = ReadFile(p.data + "/Trash/info/" + GetParam() + ".trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + PercentEncodePath(exe) + "\nDeletionDate=", 0), 0u) << info;
}

INSTANTIATE_TEST_SUITE_P(Names, EndAndDelete,
                         ::testing::Values("sleep with  spaces ", "进程 睡眠", "bad\xff\xfe\xc3name",
                                           "line\nbreak", "x\\??\\y", "long"));

// The process ends but nothing goes to the trash, and the last box says why, when its
// file was replaced or deleted (before the questions, or while the trash asks its
// own), or a file blocks the trash.
TEST(NoTrash, ChangedExecutableOrBlockedTrash) {
  for (std::string c : {"replaced", "deleted", "asked", "/Trash", "/Trash/files", "/Trash/info"}) {
    const bool blocked = c[0] == '/', asked = c == "asked";
    RealProgram p;
    const std::string exe = p.home.path() + "/kelvar-changed",
                      other = c == "deleted" ? exe + " (deleted)" : exe;
    if (blocked) {
      std::filesystem::create_directories(p.data + c.substr(0, c.rfind('/')));
      ASSERT_TRUE(CopySleep(p.data + c));
    }
    ASSERT_TRUE(CopySleep(exe));
    Child child = Child::Spawn(exe);
    auto change = [&] { return ::unlink(exe.c_str()) == 0 && CopyExecutable("/bin/true", other); };
    ASSERT_TRUE(c != "deleted" || change());
    p.Start();
    ASSERT_TRUE(PollUntil([&] { return p.RowOf(child.pid()) != kNoRow; })) << c;
    p.form().OnItemClick(p.RowOf(child.pid()));
    ASSERT_TRUE(c != "replaced" || change());
    BoxAnswerer hand(blocked || asked ? std::deque{kOk, kYes, kOk} : std::deque{kOk, kOk});
    hand.before_answer = [&](std::size_t box) { EXPECT_TRUE(!asked || box != 1 || change()); };
    p.form().OnCommand(form::Command::kEndAndTrash);
    ASSERT_EQ(hand.seen.size(), blocked || asked ? 3u : 2u) << c;
    EXPECT_EQ(hand.seen.back().icon, blocked ? QMessageBox::Critical : QMessageBox::Information) << c;
    const QString why =
        blocked ? QStringLiteral("无法把文件放入回收站")
                : MessageText("进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + exe);
    EXPECT_TRUE(blocked ? hand.seen.back().text.startsWith(why) : hand.seen.back().text == why) << c;
    EXPECT_TRUE(PollUntil([&] { return child.Ended(); })) << c;
    EXPECT_EQ(ReadFile(other), ReadFile(blocked ? "/bin/sleep" : "/bin/true")) << c;
    EXPECT_EQ(ListDir(p.data + "/Trash/files").size() + ListDir(p.data + "/Trash/info").size(), 0u) << c;
  }
}

}  // namespace
}  // namespace kelvar::qt::test
