// The commands on the selected process: the questions and their answers,
// the process and file they act on while the timers change the list, the
// priority command and its failure message, and the shell requests.
#include "actions/commands.h"

#include <gtest/gtest.h>

#include "fake/test_form.h"
#include "procinfo/message_field.h"
#include "procinfo/priority.h"

namespace kelvar {
namespace {

using fake::TestForm;

constexpr std::uint32_t kQuestion = 0x31;
constexpr std::uint32_t kStop = 0x10;

struct Fixture : TestForm {
  Fixture() {
    Start(100, "C:\\x\\abc.exe", 8192);
    Start(200, "C:\\y\\other.exe", 8192);
    form.ListProcess();
    rows().Select(RowOf(100));
    procs.ClearCalls();
  }
};

TEST(EndProcess, AsksThenEndsWithExitCodeZeroAndRefreshes) {
  Fixture t;
  t.Start(300, "C:\\new.exe");
  t.form.MenuClick("end_process");
  ASSERT_EQ(t.msgbox.shown.size(), 1u);
  EXPECT_EQ(t.msgbox.shown[0].text, "确定要结束进程 abc.exe 吗？");
  EXPECT_EQ(t.msgbox.shown[0].title, "Kelvar进程管理");
  EXPECT_EQ(t.msgbox.shown[0].style, kQuestion);
  ASSERT_EQ(t.procs.terminate_calls().size(), 1u);
  EXPECT_EQ(t.procs.terminate_calls()[0].pid, 100);
  EXPECT_EQ(t.procs.terminate_calls()[0].exit_code, 0u);
  EXPECT_NE(t.RowOf(300), 0);  // refreshed at once
  t.form.CheckProcess();
  EXPECT_EQ(t.RowOf(100), 0);
  EXPECT_EQ(t.procs.open_handles(), 0);
}

TEST(EndProcess, CancelNoSelectionAndPidZero) {
  {
    Fixture t;
    t.msgbox.answer = mb::kIdCancel;
    t.form.MenuClick("end_process");
    EXPECT_EQ(t.procs.opens(), 0);  // nothing ended, no refresh
  }
  {
    Fixture t;
    t.rows().Select(0);
    t.form.MenuClick("end_process");
    EXPECT_TRUE(t.msgbox.shown.empty());
    EXPECT_EQ(t.procs.opens(), 0);
  }
}

TEST(EndProcess, EndsThePickedProcessWhateverTheTimersDid) {
  Fixture t;
  t.msgbox.while_open = [&] {
    t.rows().Select(t.RowOf(200));  // the selection moved meanwhile
  };
  t.form.MenuClick("end_process");
  ASSERT_EQ(t.procs.terminate_calls().size(), 1u);
  EXPECT_EQ(t.procs.terminate_calls()[0].pid, 100);
}

TEST(EndProcess, NeverEndsANewerProcessThatTookThePid) {
  Fixture t;
  t.msgbox.while_open = [&] { t.procs.Reuse(100, "C:\\innocent.exe"); };
  t.form.MenuClick("end_process");
  EXPECT_TRUE(t.procs.terminate_calls().empty());
}

TEST(DeleteProcessFile, AsksEndsPumpsTwiceAndDeletesThatPath) {
  Fixture t;
  t.form.MenuClick("end_and_trash");
  ASSERT_EQ(t.msgbox.shown.size(), 1u);
  EXPECT_EQ(t.msgbox.shown[0].text, "确定要结束进程并删除以下文件吗？\r\n\r\nC:\\x\\abc.exe");
  EXPECT_EQ(t.msgbox.shown[0].style, kQuestion);
  ASSERT_EQ(t.procs.terminate_calls().size(), 1u);
  EXPECT_EQ(t.pump.calls, 2);
  ASSERT_EQ(t.shell.file_ops.size(), 1u);
  EXPECT_EQ(t.shell.file_ops[0].pFrom, "C:\\x\\abc.exe");
  EXPECT_EQ(t.shell.file_ops[0].wFunc, 3u);
  EXPECT_EQ(t.shell.file_ops[0].fFlags, 0x40u);
  EXPECT_EQ(t.shell.file_ops[0].hwnd, 0u);
}

// A name or path shows in a question as it shows in the list, on its own
// lines: control pictures for control characters, and a path wider than a
// line broken after a separator, or inside a word that has none; a box shows
// the first and last lines of a question too long for it.
TEST(Questions, ShowNamesAndPathsAsTheListDoesOnLinesABoxCanHold) {
  const std::string folder(40, 'f'), file(70, 'n'), n56(56, 'n');
  auto more = [&](int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "\r\n" + n56;
    return text;
  };
  struct Case {
    std::string path, end_question, delete_question;
  };
  const Case cases[] = {
      {"/tmp/line\nbreak", "确定要结束进程 line␊break 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\n/tmp/line␊break"},
      {"C:\\" + folder + "\\" + folder + "\\a.exe", "确定要结束进程 a.exe 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\nC:\\" + folder + "\\\r\n" + folder + "\\a.exe"},
      {"/t/" + file, "确定要结束进程 " + file.substr(0, 56) + "\r\n" + file.substr(56) + " 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\n/t/" + file.substr(0, 53) + "\r\n" + file.substr(53)},
      {"/t/" + std::string(35, 'x') + "进程进程", "确定要结束进程 " + std::string(35, 'x') + "进程进程 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\n/t/" + std::string(35, 'x') + "进程进程"},
      {"/t/" + std::string(49, 'x') + "进程进程",
       "确定要结束进程 " + std::string(49, 'x') + "进程进\r\n程 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\n/t/" + std::string(49, 'x') + "进程\r\n进程"},
      // Too long for a box: the first twelve and the last eleven lines.
      {"/t/" + std::string(2000, 'n'),
       "确定要结束进程 " + n56 + more(11) + "\r\n…" + more(10) + "\r\n" + std::string(40, 'n') + " 吗？",
       "确定要结束进程并删除以下文件吗？\r\n\r\n/t/" + std::string(53, 'n') + more(9) + "\r\n…" + more(10) +
           "\r\n" + std::string(43, 'n')},
  };
  for (const Case& c : cases) {
    TestForm t;
    t.Start(100, c.path);
    t.form.ListProcess();
    t.rows().Select(t.RowOf(100));
    t.msgbox.answer = mb::kIdCancel;
    t.form.MenuClick("end_process");
    t.form.MenuClick("end_and_trash");
    ASSERT_EQ(t.msgbox.shown.size(), 2u) << c.path;
    EXPECT_EQ(ShortenedMessage(t.msgbox.shown[0].text), c.end_question);
    EXPECT_EQ(ShortenedMessage(t.msgbox.shown[1].text), c.delete_question);
  }
}

TEST(DeleteProcessFile, PumpThatMovesTheSelectionStillDeletesTheConfirmedPath) {
  Fixture t;
  t.pump.on_pump = [&] {
    t.form.CheckProcess();                            // the ended process's row goes ...
    if (t.RowOf(200)) t.rows().Select(t.RowOf(200));  // ... and another is selected
  };
  t.form.MenuClick("end_and_trash");
  ASSERT_EQ(t.shell.file_ops.size(), 1u);
  EXPECT_EQ(t.shell.file_ops[0].pFrom, "C:\\x\\abc.exe");
}

TEST(DeleteProcessFile, CancelAndPidZeroDeleteNothing) {
  {
    Fixture t;
    t.msgbox.answer = mb::kIdCancel;
    t.form.MenuClick("end_and_trash");
    EXPECT_TRUE(t.shell.file_ops.empty());
    EXPECT_EQ(t.procs.opens(), 0);
  }
  {
    Fixture t;
    t.rows().SetPid(t.RowOf(100), 0);
    t.form.MenuClick("end_and_trash");
    EXPECT_TRUE(t.shell.file_ops.empty());
    EXPECT_TRUE(t.procs.terminate_calls().empty());
    EXPECT_GT(t.procs.opens(), 0);  // refreshed
  }
}

// Where the system tells files apart, the file at the row's path is trashed,
// or its properties shown, only while it is the very file the confirmed
// process runs; otherwise nothing reaches it and one box says why.
TEST(DeleteProcessFile, ReachesOnlyTheFileTheProcessRuns) {
  const FileIdentity running{true, 7, 100};
  struct Case {
    const char* what;
    FileIdentity at_path;
    bool unreadable_now;
    bool reached;
  };
  for (Case c : {Case{"running_file", running, false, true},
                 {"replaced", FileIdentity{true, 7, 200}, false, false},
                 {"deleted", FileIdentity{}, false, false},
                 {"unreadable_now", running, true, false}}) {
    SCOPED_TRACE(c.what);
    for (const char* menu : {"end_and_trash", "file_properties"}) {
      fake::TestForm t;
      t.Start(100, "C:\\x\\abc.exe").image = running;
      t.form.ListProcess();
      t.rows().Select(t.RowOf(100));
      t.files.SetIdentity("C:\\x\\abc.exe", c.at_path);
      t.procs.Get(100).deny_read = c.unreadable_now;
      t.form.MenuClick(menu);
      const bool del = std::string(menu) == "end_and_trash";
      EXPECT_EQ(t.shell.file_ops.size() + t.shell.executes_ex.size(), c.reached ? 1u : 0u) << menu;
      ASSERT_EQ(t.msgbox.shown.size(), (del ? 1u : 0u) + (c.reached ? 0u : 1u)) << menu;
      if (c.reached) continue;
      EXPECT_EQ(t.msgbox.shown.back().text,
                del ? "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\nC:\\x\\abc.exe"
                    : "进程运行的文件已被删除或替换。\r\n\r\nC:\\x\\abc.exe");
      EXPECT_EQ(t.msgbox.shown.back().title, "Kelvar进程管理");
      EXPECT_EQ(t.msgbox.shown.back().style, 0x40u);
      EXPECT_EQ(t.procs.open_handles(), 0);
    }
  }
}

TEST(SetPriority, AppliesTheChosenClassWithTheOneRightItNeeds) {
  Fixture t;
  t.form.MenuClick("priority_class", 4);
  ASSERT_EQ(t.procs.set_calls().size(), 1u);
  EXPECT_EQ(t.procs.set_calls()[0].priority_class, 0x4000u);
  EXPECT_EQ(t.procs.open_calls().back().access, 0x0200u);
  EXPECT_TRUE(t.msgbox.shown.empty());
  EXPECT_EQ(t.Cell(100, cell::kPriority), "标准");  // until the next refresh
  t.form.ListProcess();
  EXPECT_EQ(t.Cell(100, cell::kPriority), "较低");
}

TEST(SetPriority, TickedItemNoSelectionAndFailure) {
  {
    Fixture t;
    t.menus.SetChecked("priority_class", 1, true);
    t.form.MenuClick("priority_class", 1);
    EXPECT_TRUE(t.procs.set_calls().empty());
    EXPECT_TRUE(t.msgbox.shown.empty());
  }
  {
    Fixture t;
    t.rows().Select(0);
    t.form.MenuClick("priority_class", 1);
    EXPECT_TRUE(t.procs.set_calls().empty());
    EXPECT_TRUE(t.msgbox.shown.empty());
  }
  {
    Fixture t;
    t.procs.Get(100).fail_set = true;
    t.form.MenuClick("priority_class", 1);
    ASSERT_EQ(t.msgbox.shown.size(), 1u);
    EXPECT_EQ(t.msgbox.shown[0].text, "无法为进程 abc.exe 设置优先级。");
    EXPECT_EQ(t.msgbox.shown[0].title, "Kelvar进程管理");
    EXPECT_EQ(t.msgbox.shown[0].style, kStop);
  }
}

TEST(ReadPriorityName, NamesOnlyTheSixClasses) {
  fake::FakeProcessTable procs;
  struct Case {
    std::uint32_t value;
    const char* name;
  };
  Pid pid = 1;
  for (Case c : {Case{0x20, "标准"},
                 {0x40, "低"},
                 {0x8000, "较高"},
                 {0x100, "实时"},
                 {0x80, "高"},
                 {0x4000, "较低"},
                 {0x8020, ""},
                 {0, ""}}) {
    procs.Start(pid, "C:\\a.exe", 0, c.value);
    EXPECT_EQ(ReadPriorityName(procs, pid), c.name) << c.value;
    ++pid;
  }
  EXPECT_EQ(ReadPriorityName(procs, 999), "");
  EXPECT_EQ(procs.open_handles(), 0);
}

TEST(ShellActions, PropertiesFolderAndBlogRequests) {
  Fixture t;
  t.form.MenuClick("file_properties");
  t.form.MenuClick("open_folder");
  t.form.MenuClick("publisher_page");
  ASSERT_EQ(t.shell.executes_ex.size(), 1u);
  const ShellExecuteInfo& p = t.shell.executes_ex[0];
  EXPECT_EQ(p.fMask, 0x044Cu);
  EXPECT_EQ(p.lpVerb, "properties");
  EXPECT_EQ(p.lpFile, "C:\\x\\abc.exe");
  EXPECT_EQ(p.nShow, 0);
  EXPECT_EQ(p.hwnd, 0x1234u);
  ASSERT_EQ(t.shell.opens.size(), 2u);
  EXPECT_EQ(t.shell.opens[0].file, "C:\\x");
  EXPECT_EQ(t.shell.opens[0].show, 1);
  EXPECT_EQ(t.shell.opens[1].file, kBlogAddress);
  EXPECT_EQ(t.shell.opens[1].show, 4);
  for (const auto& o : t.shell.opens) {
    EXPECT_EQ(o.verb, "open");
    EXPECT_EQ(o.parameters, "");
    EXPECT_EQ(o.directory, "");
  }
}

TEST(ShellActions, NoSelectionOpensNothingButTheBlog) {
  Fixture t;
  t.rows().Select(0);
  t.form.MenuClick("file_properties");
  t.form.MenuClick("open_folder");
  t.form.MenuClick("publisher_page");
  EXPECT_TRUE(t.shell.executes_ex.empty());
  EXPECT_EQ(t.shell.opens.size(), 1u);
}

TEST(GetFolder, LastSeparatorOfEachPathStyle) {
  struct Case {
    const char* path;
    const char* folder;
  };
  for (Case c : {Case{"C:\\WINDOWS\\system32\\svchost.exe", "C:\\WINDOWS\\system32"},
                 {"C:\\a.exe", "C:"},
                 {"a.exe", ""},
                 {"", ""},
                 {"C:\\dir\\", "C:\\dir"},
                 {"C:/x/a.exe", ""},
                 {"/usr/bin/bash", "/usr/bin"},
                 {"/init", "/"},
                 {"/a\\b/c\\d", "/a\\b"}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(app::GetFolder(c.path), c.folder);
  }
}

}  // namespace
}  // namespace kelvar
