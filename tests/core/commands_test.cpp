// The commands on the selected process: questions, the process and file they
// act on while the timers change the list, and the desktop requests.
#include "actions/commands.h"

#include <gtest/gtest.h>

#include "fake/test_form.h"
#include "procinfo/message_field.h"
#include "procinfo/path_style.h"
#include "support/profile_cases.h"

namespace kelvar {
namespace {

using test::Times;

struct Fixture : fake::TestForm {
  explicit Fixture(const std::string& path = "C:\\x\\abc.exe", FileIdentity image = {}) {
    Start(100, path).image = image;
    Start(200, "C:\\y\\other.exe");
    form.Refresh();
    rows().Select(RowOf(100));
  }
  bool Ended(Pid pid) const { return procs.ended.size() == 1 && procs.ended[0].pid == pid; }
};

// The row picked before the question is ended, whatever the timers do
// meanwhile, never a newer process that took its PID; then the list refreshes.
TEST(EndProcess, EndsThePickedProcessOnly) {
  for (int moved : {0, 1, 2}) {  // nothing, the selection, the PID
    Fixture t;
    t.Start(300, "C:\\new.exe");
    t.msgbox.while_open = [&] {
      if (moved == 1) t.rows().Select(t.RowOf(200));
      if (moved == 2) t.procs.Start(100, "C:\\innocent.exe");
    };
    t.form.OnCommand(form::Command::kEndProcess);
    EXPECT_EQ(t.Ended(100), moved != 2) << moved;
    EXPECT_NE(t.RowOf(300), kNoRow);
    EXPECT_EQ(t.status.panels[1], moved != 2 ? "进程数：2" : "进程数：3");
  }
}

// Cancelled questions end and trash nothing; without a selection only the
// publisher's page opens.
TEST(Commands, CancelledOrWithoutSelection) {
  for (bool select : {true, false}) {
    Fixture t;
    t.msgbox.answer = false;
    if (!select) t.rows().Select(kNoRow);
    using enum form::Command;
    for (auto command : {kEndProcess, kEndAndTrash, kFileProperties, kOpenFolder, kPublisherPage})
      t.form.OnCommand(command);
    EXPECT_EQ(std::tuple(t.msgbox.shown.size(), t.procs.ended.size()), std::tuple(select ? 2u : 0u, 0u));
    const std::vector<std::string> all{"properties C:\\x\\abc.exe", "folder C:\\x",
                                       "address http://www.kelvar.com/"};
    EXPECT_EQ(t.desktop.requests, select ? all : std::vector<std::string>{all.back()});
  }
}

// Names and paths as the list shows them, on lines a box holds (broken after
// a separator, else by characters), a too-long question cut in the middle.
TEST(Questions, ShowNamesAndPathsAsTheListDoesOnLinesABoxCanHold) {
  auto n = [](std::size_t count) { return std::string(count, 'n'); };
  const std::string folder(40, 'f'), x49(49, 'x'), line = "\r\n" + n(56);
  const std::string end = "确定要结束进程 ", del = "确定要结束进程并删除以下文件吗？\r\n\r\n";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"/tmp/line\nbreak", end + "line␊break 吗？", del + "/tmp/line␊break"},
      {"C:\\" + folder + "\\" + folder + "\\a.exe", end + "a.exe 吗？",
       del + "C:\\" + folder + "\\\r\n" + folder + "\\a.exe"},
      {"/t/" + n(70), end + n(56) + "\r\n" + n(14) + " 吗？", del + "/t/" + n(53) + "\r\n" + n(17)},
      {"/t/" + x49 + "进程进程", end + x49 + "进程进\r\n程 吗？", del + "/t/" + x49 + "进程\r\n进程"},
      {"/t/" + n(2000), end + n(56) + Times(11, line) + "\r\n…" + Times(10, line) + "\r\n" + n(40) + " 吗？",
       del + "/t/" + n(53) + Times(9, line) + "\r\n…" + Times(10, line) + "\r\n" + n(43)}};
  for (const auto& [path, end_question, delete_question] : cases) {
    Fixture t(path);
    t.msgbox.answer = false;
    t.form.OnCommand(form::Command::kEndProcess);
    t.form.OnCommand(form::Command::kEndAndTrash);
    ASSERT_EQ(t.msgbox.shown.size(), 2u) << path;
    EXPECT_EQ(ShortenedMessage(t.msgbox.shown[0].text), end_question);
    EXPECT_EQ(ShortenedMessage(t.msgbox.shown[1].text), delete_question);
  }
}

// The picked row's file is trashed, or its properties shown, only while it is
// the file the confirmed process ran, whatever the pause before the move does
// to the list; else one box says why.  The move is told which file that is.
TEST(DeleteProcessFile, ReachesOnlyTheFileTheProcessRuns) {
  const FileIdentity running{true, 7, 100};
  const std::tuple<const char*, FileIdentity, bool, bool, bool, bool> cases[] = {
      {"running_file", running, false, false, true, false},
      {"ended_file_still_there", running, false, true, true, false},
      {"swapped_at_the_move", running, false, false, true, true},
      {"replaced", {true, 7, 200}, false, false, false, false},
      {"deleted", {}, false, false, false, false},
      {"unreadable_now", running, true, false, false, false}};
  for (const auto& [what, at_path, unreadable_now, ended, reached, swapped_at_move] : cases) {
    for (bool del : {true, false}) {
      SCOPED_TRACE(what + std::string(del ? " trash" : " properties"));
      Fixture t("C:\\x\\abc.exe", running);
      t.files.identities["C:\\x\\abc.exe"] = at_path;
      t.procs.Get(100).unreadable = unreadable_now, t.procs.Get(100).ended = ended;
      if (swapped_at_move) t.desktop.trash_result = TrashResult::kNotTheFile;
      t.pump.on_pump = [&] {
        t.form.Sweep();                                             // the ended process's row goes ...
        if (t.RowOf(200) != kNoRow) t.rows().Select(t.RowOf(200));  // ... and another is selected
      };
      t.form.OnCommand(del ? form::Command::kEndAndTrash : form::Command::kFileProperties);
      EXPECT_EQ(std::tuple(t.Ended(100), t.pump.calls), std::tuple(del && !ended, del ? 2 : 0));
      const std::string request = (del ? "trash " : "properties ") + std::string("C:\\x\\abc.exe");
      EXPECT_EQ(t.desktop.requests, reached ? std::vector{request} : std::vector<std::string>{});
      EXPECT_TRUE(!del || !reached || t.desktop.confirmed == running);
      const bool told = !reached || (del && swapped_at_move);
      ASSERT_EQ(t.msgbox.shown.size(), (del ? 1u : 0u) + (told ? 1u : 0u));
      if (!told) continue;
      EXPECT_EQ(t.msgbox.shown.back().text,
                del ? "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\nC:\\x\\abc.exe"
                    : "进程运行的文件已被删除或替换。\r\n\r\nC:\\x\\abc.exe");
      EXPECT_EQ(std::tuple(t.msgbox.shown.back().question, t.msgbox.shown.back().notice),
                std::tuple(false, Notice::kInformation));
    }
  }
}

// The sixth item sets "低" on the picked process from the next pass on; a
// ticked item, no selection, a refusal or a PID taken set nothing.
TEST(SetPriority, SetsTheChosenClassOnThePickedProcessOnly) {
  for (std::string what : {"set", "ticked", "no selection", "refused", "pid taken"}) {
    SCOPED_TRACE(what);
    Fixture t;
    t.menus.SetChecked("priority_class", 5, what == "ticked");
    if (what == "no selection") t.rows().Select(kNoRow);
    t.procs.Get(100).fail_set = what == "refused";
    if (what == "pid taken") t.procs.Start(100, "C:\\innocent.exe");
    t.form.OnCommand(form::Command::kSetIdle);
    EXPECT_EQ(t.procs.Get(100).priority, what == "set" ? Priority::kIdle : Priority::kNormal);
    EXPECT_EQ(t.Cell(100, Column::kPriority), "标准");  // until the next pass
    t.form.Refresh();
    EXPECT_EQ(t.Cell(100, Column::kPriority), what == "set" ? "低" : "标准");
    const bool told = what == "refused" || what == "pid taken";
    ASSERT_EQ(t.msgbox.shown.size(), told ? 1u : 0u);
    if (!told) continue;
    EXPECT_EQ(std::tuple(t.msgbox.shown[0].text, t.msgbox.shown[0].notice),
              std::tuple("无法为进程 abc.exe 设置优先级。", Notice::kError));
  }
}

TEST(FolderOf, LastSeparatorOfEachPathStyle) {
  const char* cases[][2] = {
      {"C:\\a.exe", "C:"},           {"a.exe", ""},
      {"C:\\dir\\", "C:\\dir"},      {"C:/x/a.exe", ""},
      {"/usr/bin/bash", "/usr/bin"}, {"/init", "/"},
      {"/a\\b/c\\d", "/a\\b"},       {"C:\\WINDOWS\\system32\\svchost.exe", "C:\\WINDOWS\\system32"}};
  for (auto [path, folder] : cases) EXPECT_EQ(FolderOf(path), folder) << path;
}

}  // namespace
}  // namespace kelvar
