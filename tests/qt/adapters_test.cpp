// The Qt side's own pieces: the home trash on exact bytes, the desktop entry
// index behind the icons, the display conversion, and the message box's
// style flags and answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QTest>
#include <fstream>

#include "platform/qt/desktop_icons.h"
#include "platform/qt/display_text.h"
#include "platform/qt/file_uri.h"
#include "platform/qt/home_trash.h"
#include "platform/qt/image_list.h"
#include "platform/qt/message_box.h"
#include "qt_test_support.h"

namespace kelvar::qt::test {
namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(HomeTrash, SameNameTwiceKeepsBothWithTheirOwnInfo) {
  TempDir dir;
  HomeTrash trash(dir.path() + "/share");
  ::mkdir((dir.path() + "/a").c_str(), 0700);
  ::mkdir((dir.path() + "/b").c_str(), 0700);
  WriteText(dir.path() + "/a/same", "first");
  WriteText(dir.path() + "/b/same", "second");
  TrashOutcome one = trash.Move(dir.path() + "/a/same");
  TrashOutcome two = trash.Move(dir.path() + "/b/same");
  ASSERT_TRUE(one.moved && two.moved);
  EXPECT_EQ(ReadFile(trash.Root() + "/files/same"), "first");
  EXPECT_EQ(ReadFile(trash.Root() + "/files/same.2"), "second");
  EXPECT_NE(ReadFile(trash.Root() + "/info/same.2.trashinfo").find("Path=" + PercentEncodePath(dir.path()) + "/b/same\n"),
            std::string::npos);
}

TEST(HomeTrash, MissingFileIsReportedAndNothingIsLeftBehind) {
  TempDir dir;
  HomeTrash trash(dir.path() + "/share");
  TrashOutcome outcome = trash.Move(dir.path() + "/absent");
  EXPECT_FALSE(outcome.moved);
  EXPECT_EQ(outcome.error, ENOENT);
  EXPECT_FALSE(Exists(trash.Root() + "/info/absent.trashinfo"));
}

TEST(HomeTrash, LongNameIsShortenedToFitTheInfoFile) {
  TempDir dir;
  HomeTrash trash(dir.path() + "/share");
  std::string name(250, 'n');
  WriteText(dir.path() + "/" + name, "x");
  TrashOutcome outcome = trash.Move(dir.path() + "/" + name);
  ASSERT_TRUE(outcome.moved) << outcome.step;
  EXPECT_FALSE(Exists(dir.path() + "/" + name));
  EXPECT_EQ(ReadFile(outcome.trashed_as), "x");
}

TEST(FileUri, EncodesEveryByteButUnreservedOnes) {
  struct Case {
    std::string path, encoded;
  } cases[] = {
      {"/usr/bin/a-b_c.d~", "/usr/bin/a-b_c.d~"},
      {"/a b/%", "/a%20b/%25"},
      {"/\xff\n", "/%FF%0A"},
      {"/进", "/%E8%BF%9B"},
      {"/x\\??\\y#", "/x%5C%3F%3F%5Cy%23"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncodePath(c.path), c.encoded) << c.path;
  EXPECT_EQ(FileUri("/a b"), "file:///a%20b");
}

TEST(DesktopIcons, ExecLineGivesTheProgram) {
  struct Case {
    std::string exec, program;
  } cases[] = {
      {"firefox-esr %u", "firefox-esr"},
      {"\"/opt/My App/run\" --new %F", "/opt/My App/run"},
      {"env GDK_BACKEND=x11 LANG=C /usr/bin/tool %f", "/usr/bin/tool"},
      {"sh -c \"exec foo\"", ""},
      {"/usr/bin/python3 /opt/x.py", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExecProgram(c.exec), c.program) << c.exec;
}

TEST(DesktopIcons, EntriesAreMatchedByPathThenByName) {
  TempDir dir;
  std::string apps = dir.path() + "/data/applications";
  ::mkdir((dir.path() + "/data").c_str(), 0700);
  ::mkdir(apps.c_str(), 0700);
  ::mkdir((apps + "/sub").c_str(), 0700);
  WriteText(apps + "/full.desktop", "[Desktop Entry]\nExec=\"/opt/full path/prog\" %u\nIcon=full-icon\n");
  WriteText(apps + "/sub/bare.desktop", "[Desktop Entry]\nExec=bare --x\nIcon=bare-icon\n[Desktop Action a]\nIcon=other\n");
  WriteText(apps + "/try.desktop", "[Desktop Entry]\nTryExec=/usr/lib/x/tried\nExec=wrapper\nIcon=tried-icon\n");
  DesktopIconSource icons({dir.path() + "/data"});
  EXPECT_EQ(icons.IconNameFor("/opt/full path/prog"), "full-icon");
  EXPECT_EQ(icons.IconNameFor("/elsewhere/prog"), "full-icon");
  EXPECT_EQ(icons.IconNameFor("/usr/bin/bare"), "bare-icon");
  EXPECT_EQ(icons.IconNameFor("/usr/lib/x/tried"), "tried-icon");
  EXPECT_EQ(icons.IconNameFor("/usr/bin/unknown"), "");
  // Without an entry the theme's executable icon stands in.
  std::unique_ptr<Picture> picture = icons.GetFileIcon("/usr/bin/unknown", true);
  ASSERT_NE(picture, nullptr);
  QtImageList images;
  EXPECT_TRUE(images.Add("/usr/bin/unknown", std::move(picture)));
  EXPECT_FALSE(images.Add("/usr/bin/unknown", icons.GetFileIcon("/usr/bin/unknown", true)));
  EXPECT_FALSE(images.Icon("/usr/bin/unknown").isNull());
}

TEST(DisplayText, ShowsBadBytesAndControlsVisibly) {
  EXPECT_EQ(DisplayText("a\nb"), QStringLiteral("a\u240Ab"));
  EXPECT_EQ(DisplayText("\xff"), QString(QChar(0xFFFD)));
  EXPECT_EQ(DisplayText("进程"), QStringLiteral("进程"));
  EXPECT_EQ(MessageText("问\r\n\r\n/a\tb\x01"), QStringLiteral("问\n\n/a\tb\u2401"));
  EXPECT_EQ(TerminalWidth(QStringLiteral("进程a")), 5);
}

struct BoxCase {
  std::uint32_t style;
  QString press;  // a caption, or empty for Esc
  int answer;
  QMessageBox::Icon icon;
  QStringList buttons;
};

TEST(MessageBoxAdapter, StyleFlagsAndAnswers) {
  const QString ok = QStringLiteral("确定"), cancel = QStringLiteral("取消");
  const BoxCase cases[] = {
      {0x31, ok, mb::kIdOk, QMessageBox::Warning, {ok, cancel}},
      {0x31, cancel, mb::kIdCancel, QMessageBox::Warning, {ok, cancel}},
      {0x31, {}, mb::kIdCancel, QMessageBox::Warning, {ok, cancel}},
      {0x10, ok, mb::kIdOk, QMessageBox::Critical, {ok}},
      {0x10, {}, mb::kIdOk, QMessageBox::Critical, {ok}},
  };
  QWidget parent;
  QtMessageBox box(&parent);
  for (const BoxCase& c : cases) {
    BoxAnswerer hand({c.press});
    EXPECT_EQ(box.Show("问题\r\n\r\n/路径", "Kelvar进程管理", c.style), c.answer);
    ASSERT_EQ(hand.seen().size(), 1u);
    EXPECT_EQ(hand.seen()[0].icon, c.icon);
    EXPECT_EQ(hand.seen()[0].buttons, c.buttons);
    EXPECT_EQ(hand.seen()[0].default_button, ok);
    EXPECT_EQ(hand.seen()[0].title, QStringLiteral("Kelvar进程管理"));
    EXPECT_EQ(hand.seen()[0].text, QStringLiteral("问题\n\n/路径"));
  }
}

}  // namespace
}  // namespace kelvar::qt::test
