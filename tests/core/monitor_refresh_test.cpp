// The refresh pass on the fake system: what a new row holds and in which
// order its cells are written, what a steady pass writes (nothing), which
// processes are counted without a row, and the status-bar panels.
#include <gtest/gtest.h>

#include "fake/test_form.h"

namespace kelvar {
namespace {

using fake::TestForm;

TEST(MemoryK, RoundsHalvesToEven) {
  struct Case { std::uint64_t bytes, k; };
  for (Case c : {Case{0, 0}, {511, 0}, {512, 0}, {513, 1}, {1535, 1}, {1536, 2}, {2560, 2},
                 {3584, 4}, {8192, 8}, {(std::uint64_t{1} << 42) + 512, std::uint64_t{1} << 32}}) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(MemoryK(c.bytes), c.k);
  }
}

TEST(ListProcess, NewRowHoldsEveryCellWrittenInOrder) {
  TestForm t;
  t.dirs.system_dir = "C:\\WINDOWS\\system32";
  t.form.Monitor().SetRemarkFile("C:\\Tools\\Comment\\system.ini");
  t.profile.Set("C:\\Tools\\Comment\\system.ini", "sysdir", "svchost.exe", "核心-服务宿主");
  t.Start(1234, "C:\\WINDOWS\\system32\\svchost.exe", 3584);
  t.icons.with_icon.insert("C:\\WINDOWS\\system32\\svchost.exe");

  t.form.ListProcess();

  ASSERT_EQ(t.rows().Count(), 1);
  EXPECT_EQ(t.rows().Key(1), "ID:1234");
  const char* want[] = {"svchost.exe", "1234", "4", "系统", "核心", "标准",
                        "C:\\WINDOWS\\system32\\svchost.exe", "服务宿主"};
  for (int sub = 0; sub < 8; ++sub) EXPECT_EQ(t.rows().SubItem(1, sub), want[sub]) << sub;
  EXPECT_EQ(t.rows().Icon(1), "C:\\WINDOWS\\system32\\svchost.exe");
  // PID, memory, priority, path, then kind, level, remark.
  std::vector<std::pair<int, int>> order{{1, 2}, {1, 3}, {1, 6}, {1, 7}, {1, 4}, {1, 5}, {1, 8}};
  EXPECT_EQ(t.observer.cell_writes, order);
  EXPECT_EQ(t.procs.open_handles(), 0);
}

TEST(ListProcess, SteadyPassWritesNoCellAndNoPanel) {
  TestForm t;
  for (Pid pid : {4, 88, 1000}) t.Start(pid, "C:\\p\\" + std::to_string(pid) + ".exe");
  t.form.ListProcess();
  int cells = t.observer.Total(), panels = t.status.writes;

  t.form.ListProcess();
  t.form.ListProcess();

  EXPECT_EQ(t.observer.Total(), cells);
  EXPECT_EQ(t.status.writes, panels);
}

TEST(ListProcess, KnownRowFollowsMemoryAndClassOnly) {
  TestForm t;
  t.Start(7, "C:\\a.exe", 8192);
  t.form.ListProcess();
  t.observer.cell_writes.clear();

  t.procs.Get(7).working_set = 10240;
  t.procs.Get(7).priority_class = 0x40;
  t.procs.Get(7).module_path = "C:\\other.exe";  // never read again for a known row
  t.form.ListProcess();

  EXPECT_EQ(t.Cell(7, cell::kMemory), "10");
  EXPECT_EQ(t.Cell(7, cell::kPriority), "低");
  EXPECT_EQ(t.Cell(7, cell::kPath), "C:\\a.exe");
  std::vector<std::pair<int, int>> order{{1, 3}, {1, 6}};
  EXPECT_EQ(t.observer.cell_writes, order);
}

TEST(ListProcess, CountsProcessesThatGetNoRow) {
  TestForm t;
  t.Start(0, "[System Process]").deny_read = true;      // the idle process
  t.Start(8, "C:\\nomods.exe", 4096).no_modules = true;
  t.Start(9, "\\??\\", 4096);                            // normalises to nothing
  t.Start(10, "C:\\ok.exe", 2048);
  t.form.ListProcess();

  EXPECT_EQ(t.rows().Count(), 1);
  EXPECT_EQ(t.status.panels[1], "进程数：4");
  EXPECT_EQ(t.status.panels[2], "已用内存：2.00 KB");
}

TEST(ListProcess, RowNameIsEmptyWhenTheFileIsGone) {
  TestForm t;
  t.procs.Start(5, "C:\\moved\\x.exe");
  t.form.ListProcess();
  EXPECT_EQ(t.Cell(5, cell::kName), "");
  EXPECT_EQ(t.Cell(5, cell::kPath), "C:\\moved\\x.exe");
}

TEST(ListProcess, TrimsAndNormalisesWindowsPaths) {
  TestForm t;
  t.dirs.windows_dir = "C:\\WINDOWS";
  t.procs.Start(5, "  \\??\\C:\\WINDOWS\\system32\\winlogon.exe ");
  t.procs.Start(6, "\\SystemRoot\\System32\\smss.exe");
  t.form.ListProcess();
  EXPECT_EQ(t.Cell(5, cell::kPath), "C:\\WINDOWS\\system32\\winlogon.exe");
  EXPECT_EQ(t.Cell(6, cell::kPath), "C:\\WINDOWS\\System32\\smss.exe");
}

TEST(ListProcess, PosixPathIsKeptByteForByte) {
  TestForm t;
  std::string path = "/tmp/a \\??\\b \xff\xfe\n end ";
  t.procs.Start(5, path);
  t.form.ListProcess();
  EXPECT_EQ(t.Cell(5, cell::kPath), path);
}

TEST(ListProcess, MemoryTotalIsSixtyFourBit) {
  TestForm t;
  for (Pid pid : {1, 2, 3}) t.Start(pid, "C:\\big" + std::to_string(pid) + ".exe", 1ull << 30);
  t.form.ListProcess();
  EXPECT_EQ(t.status.panels[2], "已用内存：3.00 GB");
  EXPECT_EQ(t.form.Monitor().LastMemTotal, 3ll << 30);
}

TEST(StatusBar, PanelsAreWrittenOnlyWhenTheirFigureChanges) {
  TestForm t;
  for (Pid pid = 1; pid <= 57; ++pid) t.Start(pid, "C:\\p" + std::to_string(pid) + ".exe", 4096);
  t.form.ListProcess();
  EXPECT_EQ(t.status.panels[1], "进程数：57");
  int writes = t.status.writes;

  t.procs.Get(3).working_set = 8192;
  t.procs.Get(4).working_set = 0;  // the same total from other figures
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, writes);

  t.Start(58, "C:\\p58.exe", 0);
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, writes + 1);
  EXPECT_EQ(t.status.panels[1], "进程数：58");
}

TEST(StatusBar, FailedFirstSnapshotWritesNeitherPanel) {
  TestForm t;
  t.Start(1, "C:\\a.exe");
  t.procs.FailSnapshot(true);
  t.form.ListProcess();
  EXPECT_EQ(t.status.writes, 0);
  EXPECT_EQ(t.rows().Count(), 0);
}

TEST(StatusBar, FailedFormatterLeavesTheLabelAlone) {
  TestForm t;
  t.sizes.fail = true;
  t.Start(1, "C:\\a.exe");
  t.form.ListProcess();
  EXPECT_EQ(t.status.panels[2], "已用内存：");
}

TEST(Icons, OneImagePerPathSharedByItsRows) {
  TestForm t;
  t.icons.with_icon = {"C:\\a.exe", "C:\\b\\a.exe"};
  t.Start(1, "C:\\a.exe");
  t.Start(2, "C:\\a.exe");
  t.Start(3, "C:\\b\\a.exe");
  t.Start(4, "C:\\noicon.exe");
  t.form.ListProcess();

  EXPECT_EQ(t.images.size(), 2);
  EXPECT_EQ(t.icons.live_pictures, 2);  // the second picture of a.exe was released
  EXPECT_EQ(t.rows().Icon(t.RowOf(1)), "C:\\a.exe");
  EXPECT_EQ(t.rows().Icon(t.RowOf(2)), "C:\\a.exe");
  EXPECT_EQ(t.rows().Icon(t.RowOf(3)), "C:\\b\\a.exe");
  EXPECT_EQ(t.rows().Icon(t.RowOf(4)), "");
}

TEST(HaveItem, FindsRowsByPidAfterRemovals) {
  TestForm t;
  for (Pid pid : {10, 20, 30}) t.Start(pid, "C:\\x.exe");
  t.form.ListProcess();
  EXPECT_EQ(t.form.Monitor().HaveItem(30), 3);
  EXPECT_EQ(t.form.Monitor().HaveItem(99), 0);
  t.rows().Remove(1);
  EXPECT_EQ(t.form.Monitor().HaveItem(30), 2);
  EXPECT_EQ(t.form.Monitor().HaveItem(10), 0);
}

}  // namespace
}  // namespace kelvar
