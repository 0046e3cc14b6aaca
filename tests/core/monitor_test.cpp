// The refresh pass and the sweep on the fake system: new and known rows, what
// a steady pass writes (nothing), the status panels, ended rows and PID reuse.
#include <gtest/gtest.h>

#include "fake/test_form.h"

namespace kelvar {
namespace {

using fake::TestForm;

TEST(MemoryK, RoundsHalvesToEven) {
  for (auto [bytes, k] : {std::pair<std::uint64_t, std::uint64_t>{0, 0},
                          {511, 0},
                          {512, 0},
                          {513, 1},
                          {1535, 1},
                          {1536, 2},
                          {2560, 2},
                          {3584, 4},
                          {(1ull << 42) + 512, 1ull << 32}})
    EXPECT_EQ(MemoryK(bytes), k) << bytes;
}

// The path is trimmed and normalised, the remark found by it, and the cells
// written PID, memory, priority, path, then kind, level, remark.
TEST(ListProcess, NewRowHoldsEveryCellWrittenInOrder) {
  TestForm t;
  const std::string exe = "C:\\WINDOWS\\system32\\svchost.exe";
  t.form.Monitor().SetRemarkFile("C:\\Tools\\Comment\\system.ini");
  t.profile.Set("C:\\Tools\\Comment\\system.ini", "sysdir", "svchost.exe", "核心-服务宿主");
  t.files.Add(exe, "svchost.exe");
  t.procs.Start(1234, "  \\??\\" + exe + " ", 3584);
  t.icons.with_icon.insert(exe);
  t.form.ListProcess();
  ASSERT_EQ(t.rows().Count(), 1);
  EXPECT_EQ(t.rows().Key(1), "ID:1234");
  const char* want[] = {"svchost.exe", "1234", "4", "系统", "核心", "标准", exe.c_str(), "服务宿主"};
  for (int sub = 0; sub < 8; ++sub) EXPECT_EQ(t.rows().SubItem(1, sub), want[sub]) << sub;
  EXPECT_EQ(t.rows().Icon(1), exe);
  EXPECT_EQ(t.observer.cell_writes,
            (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {1, 6}, {1, 7}, {1, 4}, {1, 5}, {1, 8}}));
  EXPECT_EQ(t.procs.open_handles(), 0);
}

// A steady pass tells the view and the status bar nothing; a known row then
// follows its memory and class only (its path is never read again).
TEST(ListProcess, SteadyPassWritesNothingAndAKnownRowFollowsMemoryAndClassOnly) {
  TestForm t;
  for (Pid pid : {4, 7, 1000}) t.Start(pid, "C:\\p\\" + std::to_string(pid) + ".exe");
  t.form.ListProcess();
  int notes = t.observer.Total(), panels = t.status.writes;
  t.form.ListProcess();
  t.form.ListProcess();
  EXPECT_EQ(t.observer.Total(), notes);
  EXPECT_EQ(t.status.writes, panels);

  t.observer.cell_writes.clear();
  t.procs.Get(7).working_set = 10240;
  t.procs.Get(7).priority_class = 0x40;
  t.procs.Get(7).module_path = "C:\\other.exe";
  t.form.ListProcess();
  EXPECT_EQ(t.Cell(7, cell::kMemory), "10");
  EXPECT_EQ(t.Cell(7, cell::kPriority), "低");
  EXPECT_EQ(t.Cell(7, cell::kPath), "C:\\p\\7.exe");
  EXPECT_EQ(t.observer.cell_writes, (std::vector<std::pair<int, int>>{{2, 3}, {2, 6}}));
}

// The idle process, one whose modules cannot be read and one whose path
// normalises to nothing are counted but get no row; a file that cannot be
// found leaves the name empty.
TEST(ListProcess, CountsProcessesThatGetNoRow) {
  TestForm t;
  t.Start(0, "[System Process]").deny_read = true;
  t.Start(8, "C:\\nomods.exe", 4096).no_modules = true;
  t.Start(9, "\\??\\", 4096);
  t.Start(10, "C:\\ok.exe", 2048);
  t.procs.Start(11, "C:\\moved\\x.exe", 0);
  t.form.ListProcess();
  EXPECT_EQ(t.rows().Count(), 2);
  EXPECT_EQ(t.Cell(11, cell::kName), "");
  EXPECT_EQ(t.status.panels[1], "进程数：5");
  EXPECT_EQ(t.status.panels[2], "已用内存：2.00 KB");
}

// Each panel is written when its own figure changes, and the memory total
// does not wrap at 2 or 4 GiB.
TEST(StatusBar, PanelsAreWrittenOnlyWhenTheirFigureChanges) {
  TestForm t;
  for (Pid pid = 1; pid <= 3; ++pid) t.Start(pid, "C:\\p" + std::to_string(pid) + ".exe", 1ull << 30);
  t.form.ListProcess();
  EXPECT_EQ(t.status.panels[1], "进程数：3");
  EXPECT_EQ(t.status.panels[2], "已用内存：3.00 GB");
  int writes = t.status.writes;
  t.procs.Get(1).working_set += 4096;
  t.procs.Get(2).working_set -= 4096;  // the same total from other figures
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, writes);
  t.Start(4, "C:\\p4.exe", 0);
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, writes + 1);
  EXPECT_EQ(t.status.panels[1], "进程数：4");
}

TEST(StatusBar, FailedSnapshotWritesNoPanelAndAFailedFormatterAnEmptyFigure) {
  TestForm t;
  t.Start(1, "C:\\a.exe");
  t.procs.FailSnapshot(true);
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, 0);
  EXPECT_EQ(t.rows().Count(), 0);
  t.procs.FailSnapshot(false);
  t.sizes.fail = true;
  t.form.ListProcess();
  EXPECT_EQ(t.status.panels[2], "已用内存：");
}

// The PID column, joined.
std::string PidColumn(RowStore& rows) {
  std::string out;
  for (int i = 1; i <= rows.Count(); ++i) out += rows.SubItem(i, cell::kPid);
  return out;
}

TEST(CheckProcess, RemovesEndedRowsAndKeepsTheOrder) {
  for (auto [ended, left] : {std::pair{"", "12345"}, {"23", "145"}, {"15", "234"}, {"12345", ""}}) {
    TestForm t;
    for (Pid pid = 1; pid <= 5; ++pid) t.Start(pid, "C:\\p.exe");
    t.form.ListProcess();
    for (const char* p = ended; *p; ++p) t.procs.Exit(*p - '0', 0);
    t.form.CheckProcess();
    EXPECT_EQ(PidColumn(t.rows()), left);
    EXPECT_EQ(t.procs.open_handles(), 0);
  }
}

TEST(CheckProcess, ExitCodeAndAccessDecide) {
  TestForm t;
  for (Pid pid = 1; pid <= 4; ++pid) t.Start(pid, "C:\\p.exe");
  t.form.ListProcess();
  t.procs.Exit(1, kStillActive);    // ended with 259: taken for running while it opens
  t.procs.Vanish(2);                // gone
  t.procs.Get(3).deny_read = true;  // runs, but closed to us now
  t.procs.Exit(4, 1);               // ended, handle still open somewhere

  t.form.CheckProcess();
  EXPECT_EQ(PidColumn(t.rows()), "1");
  t.procs.Vanish(1);
  t.form.CheckProcess();
  EXPECT_EQ(t.rows().Count(), 0);
}

TEST(PidReuse, NewerProcessNeverWritesIntoTheOldRow) {
  TestForm t;
  t.Start(42, "C:\\old.exe", 8192);
  t.form.ListProcess();
  t.observer.cell_writes.clear();

  auto& newer = t.procs.Reuse(42, "C:\\new.exe", 1 << 20);
  newer.priority_class = 0x80;
  t.form.ListProcess();
  EXPECT_TRUE(t.observer.cell_writes.empty());
  EXPECT_EQ(t.Cell(42, cell::kPath), "C:\\old.exe");
  EXPECT_EQ(t.Cell(42, cell::kMemory), "8");

  t.form.CheckProcess();  // the old row goes ...
  EXPECT_EQ(t.RowOf(42), 0);
  t.files.Add("C:\\new.exe", "new.exe");
  t.form.ListProcess();  // ... and the newer process gets its own
  EXPECT_EQ(t.Cell(42, cell::kPath), "C:\\new.exe");
  EXPECT_EQ(t.Cell(42, cell::kPriority), "高");
}

}  // namespace
}  // namespace kelvar
