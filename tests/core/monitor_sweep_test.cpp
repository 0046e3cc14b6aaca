// The sweep and PID reuse: rows of ended processes leave in one sweep, in a
// walk that keeps the order of the others, and a PID taken by a newer
// process neither lends its figures to the old row nor keeps it alive.
#include <gtest/gtest.h>

#include "fake/test_form.h"

namespace kelvar {
namespace {

using fake::TestForm;

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
