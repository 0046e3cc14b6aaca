// The refresh pass and the sweep on the fake system: new and known rows, a
// steady pass telling nothing, the status panels, ended rows, PID reuse.
#include <gtest/gtest.h>

#include "fake/test_form.h"

namespace kelvar {
namespace {

using fake::TestForm;

TEST(MemoryK, RoundsHalvesToEven) {
  const std::uint64_t cases[][2] = {{512, 0},  {513, 1},  {1536, 2},
                                    {2560, 2}, {3584, 4}, {(1ull << 42) + 512, 1ull << 32}};
  for (auto [bytes, k] : cases) EXPECT_EQ(MemoryK(bytes), k) << bytes;
}

// The path trimmed and normalised, the remark found by it, the row made in one insert.
TEST(Refresh, NewRowShowsEveryCell) {
  TestForm t;
  const std::string exe = "C:\\WINDOWS\\system32\\svchost.exe";
  t.form.Monitor().SetRemarkFile("C:\\Tools\\Comment\\system.ini");
  t.profile.values["C:\\Tools\\Comment\\system.ini|sysdir|svchost.exe"] = "核心-服务宿主";
  t.files.Add(exe, "svchost.exe");
  t.procs.Start(1234, "  \\??\\" + exe + " ", 3584).priority = Priority::kAboveNormal;
  t.icons.with_icon.insert(exe);
  t.form.Refresh();
  ASSERT_EQ(t.rows().Count(), 1);
  const char* want[] = {"svchost.exe", "1234", "4", "系统", "核心", "较高", exe.c_str(), "服务宿主"};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(t.Cell(1234, static_cast<Column>(c)), want[c]) << c;
  EXPECT_EQ(std::tuple(t.rows().IconKey(0), t.observer.Total()), std::tuple(exe, 1));  // one insert
}

// A steady pass tells the view and the status bar nothing; a known row then
// follows its memory and class only (its image is never read again).
TEST(Refresh, SteadyPassTellsNothingAndAKnownRowFollowsMemoryAndClassOnly) {
  TestForm t;
  for (Pid pid : {4, 7, 1000}) t.Start(pid, "C:\\p\\" + std::to_string(pid) + ".exe");
  t.form.Refresh();
  const auto before = std::tuple(t.observer.Total(), t.status.writes, t.procs.image_reads);
  t.form.Refresh();
  EXPECT_EQ(std::tuple(t.observer.Total(), t.status.writes, t.procs.image_reads), before);
  fake::FakeProcess& p = t.procs.Get(7);
  p.working_set = 10240, p.priority = Priority::kIdle, p.module_path = "C:\\other.exe";
  t.form.Refresh();
  EXPECT_EQ(std::tuple(t.Cell(7, Column::kMemory), t.Cell(7, Column::kPriority), t.Cell(7, Column::kPath)),
            std::tuple("10", "低", "C:\\p\\7.exe"));
  EXPECT_EQ(t.observer.cell_writes,
            (std::vector<std::pair<int, Column>>{{1, Column::kMemory}, {1, Column::kPriority}}));
}

// Every listed process is counted, but only rows' memory summed; a panel is
// written when its own figure changes, and the total does not wrap at 2 or 4 GiB.
TEST(StatusBar, CountsEveryProcessAndWritesAPanelOnlyWhenItsFigureChanges) {
  TestForm t;
  t.Start(0, "[System Process]").unreadable = true;
  t.Start(9, "\\??\\", 1ull << 30);          // a path that normalises to nothing
  t.procs.Start(11, "C:\\moved\\x.exe", 0);  // no file found: an empty name
  for (Pid pid = 1; pid <= 3; ++pid) t.Start(pid, "C:\\p" + std::to_string(pid) + ".exe", 1ull << 31);
  t.form.Refresh();
  EXPECT_EQ(std::tuple(t.rows().Count(), t.Cell(11, Column::kName)), std::tuple(4, ""));
  EXPECT_EQ(t.status.panels, (std::map<int, std::string>{{1, "进程数：6"}, {2, "已用内存：6.00 GB"}}));
  const int writes = t.status.writes;
  t.procs.Get(1).working_set += 4096, t.procs.Get(2).working_set -= 4096;  // the same total, other figures
  t.form.Refresh();
  EXPECT_EQ(t.status.writes, writes);
  t.Start(4, "C:\\p4.exe", 0);
  t.form.Refresh();
  EXPECT_EQ(t.status.writes, writes + 1);
  t.procs.fail_snapshot = t.sizes.fail = true;
  t.form.Refresh();
  EXPECT_EQ(t.status.panels, (std::map<int, std::string>{{1, "进程数：0"}, {2, "已用内存："}}));
}

// The sweep removes the rows of processes that ended or turned unreadable, keeps
// the order of the rest, and makes afresh the row of one that runs another file.
TEST(Sweep, RemovesRowsWhoseProcessIsNoLongerTheirs) {
  TestForm t;
  for (Pid pid = 1; pid <= 5; ++pid) t.Start(pid, "C:\\p.exe").image = {true, 1, 1};
  t.form.Refresh();
  t.procs.Exit(2);
  t.procs.Get(3).unreadable = true;
  t.procs.Get(5).image = {true, 1, 2};  // an exec: its row is made afresh
  t.procs.Get(5).module_path = "C:\\q.exe";
  t.form.Sweep();
  std::string left;
  for (int i = 0; i < t.rows().Count(); ++i) left += t.rows().Text(i, Column::kPid);
  EXPECT_EQ(std::tuple(left, t.Cell(5, Column::kPath)), std::tuple("145", "C:\\q.exe"));
}

TEST(PidReuse, NewerProcessNeverWritesIntoTheOldRow) {
  TestForm t;
  t.Start(42, "C:\\old.exe", 8192);
  t.form.Refresh();
  t.observer.cell_writes.clear();
  t.procs.Start(42, "C:\\new.exe", 1 << 20).priority = Priority::kHigh;  // a newer process
  t.form.Refresh();
  EXPECT_EQ(std::tuple(t.observer.cell_writes.size(), t.Cell(42, Column::kPath), t.Cell(42, Column::kMemory)),
            std::tuple(0u, "C:\\old.exe", "8"));
  t.form.Sweep();  // the old row goes ...
  EXPECT_EQ(t.RowOf(42), kNoRow);
  t.files.Add("C:\\new.exe", "new.exe");
  t.form.Refresh();  // ... and the newer process gets its own
  EXPECT_EQ(std::tuple(t.Cell(42, Column::kPath), t.Cell(42, Column::kPriority)),
            std::tuple("C:\\new.exe", "高"));
}

}  // namespace
}  // namespace kelvar
