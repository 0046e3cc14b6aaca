// The Linux adapters under the monitor, on /proc and children of the tests:
// rows, ending, descriptors, PID reuse, other users, classes.
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>

#include "platform/linux/procfs_priority.h"
#include "procinfo/priority.h"
#include "support/test_support.h"

namespace kelvar::test {
namespace {

struct ProcfsLinuxTest : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(CopySleep(sleeper_)); }

  TempDir dir_;
  const std::string sleeper_ = dir_.path() + "/kelvar-sleeper";
  Rig rig_;
};

// Passes over a living process, a zombie, PID 1, a kernel thread, our own and
// a free PID, with commands, while a thousand children come and go: each
// gets its row with its cells; reaped, killed (a zombie) or ended through the
// end command, its row is gone after one sweep; the adapter ends with the
// descriptors and cache it had.
TEST_F(ProcfsLinuxTest, ChildrenComeAndGoAndLeaveNoDescriptorBehind) {
  Child living = Child::Spawn(sleeper_), zombie = Child::Spawn(sleeper_);
  zombie.Kill();
  ASSERT_TRUE(zombie.WaitForZombie());
  const std::set<Pid> steady = {living.pid(), zombie.pid(), 1, 2, ::getpid(), 0x3FFFFFFF};
  rig_.filter.only = steady;
  rig_.monitor.Refresh();
  rig_.monitor.Sweep();
  const int fds = OpenFdCount(), rows = rig_.rows.Count();
  const std::size_t kept = rig_.processes.CachedProcesses();
  for (int batch = 0; batch < 20; ++batch) {
    std::vector<Child> children;
    for (int i = 0; i < 50; ++i) rig_.filter.only.insert(children.emplace_back(Child::Spawn(sleeper_)).pid());
    for (int pass = 0; pass < 100; ++pass) {
      rig_.monitor.Refresh();
      if (pass % 3 == 0) rig_.monitor.Sweep();
    }
    for (const Child& child : children) {
      EXPECT_EQ(rig_.Cell(child.pid(), Column::kName) + " " + rig_.Cell(child.pid(), Column::kPriority),
                "kelvar-sleeper 标准");
      EXPECT_GT(std::stoull(rig_.Cell(child.pid(), Column::kMemory)), 0u);
    }
    rig_.processes.SetPriority({living.pid(), 0}, Priority::kNormal);
    rig_.processes.SetPriority({0x3FFFFFFF, 0}, Priority::kNormal);
    rig_.processes.End({living.pid(), 1});  // not its start time: nothing happens
    rig_.processes.End({zombie.pid(), 0});
    for (std::size_t i = 0; i < children.size(); ++i) {  // reaped, killed, or ended by the command
      Child& child = children[i];
      if (i % 3 == 0) child.Reap();
      if (i % 3 == 1) child.Kill();
      const bool ended = i % 3 != 2 || rig_.processes.End(rig_.Id(child.pid()));
      ASSERT_TRUE(ended && (i % 3 == 0 || child.WaitForZombie()));
    }
    rig_.monitor.Sweep();
    ASSERT_EQ(rig_.rows.Count(), rows);
    children.clear();  // reaped
    rig_.filter.only = steady;
    rig_.monitor.Refresh();
    ASSERT_EQ(rig_.rows.Count(), rows);
  }
  EXPECT_EQ(OpenFdCount(), fds);
  EXPECT_EQ(rig_.processes.CachedProcesses(), kept);
}

// The listing kept between whole reads of /proc names what the directory
// names, pass after pass and past a whole read: new children, zombies until
// reaped, never a thread.
TEST_F(ProcfsLinuxTest, TheListingNamesWhatTheDirectoryNames) {
  const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
  ASSERT_NE(proc, nullptr);
  procfs::ProcessListing listing(procfs::ProcListingProbe(proc.get()));
  std::vector<Child> children;
  std::set<Pid> ours;
  auto of_ours = [&](std::vector<Pid> pids) {
    std::erase_if(pids, [&](Pid pid) { return ours.count(pid) == 0; });
    std::ranges::sort(pids);
    return pids;
  };
  for (int pass = 0; pass < 12; ++pass) {
    const bool threads = pass % 3 == 0;
    const Child& child =
        children.emplace_back(Child::Spawn(threads ? KELVAR_THREADS_CHILD : sleeper_, {"3"}));
    const std::string tasks = "/proc/" + std::to_string(child.pid()) + "/task";
    ASSERT_TRUE(WaitUntil([&] { return ListDir(tasks).size() == (threads ? 4u : 1u); }));
    for (const std::string& tid : ListDir(tasks)) ours.insert(std::stoi(tid));
    if (pass % 4 == 1) children[pass - 1].Kill();  // a zombie ...
    if (pass % 4 == 2) children[pass - 2].Reap();  // ... then reaped
    std::vector<Pid> listed, whole;
    listing.List(listed, [](Pid) { return false; });
    for (const std::string& name : ListDir("/proc"))
      if (name.find_first_not_of("0123456789") == std::string::npos) whole.push_back(std::stoi(name));
    EXPECT_EQ(of_ours(listed), of_ours(whole)) << "pass " << pass;
  }
}

// A soft descriptor limit of 64 under a hard one of 320 is raised to 320,
// room for 64 descriptors of kept processes: of 80 children, 64 are kept by
// their pidfd alone, the rest not at all, and each gets its row and memory.
TEST_F(ProcfsLinuxTest, ALowDescriptorLimitIsRaisedAndKept) {
  constexpr rlim_t kSoft = 64, kHard = 320;
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < kHard) GTEST_SKIP() << "the hard descriptor limit is below " << kHard;
  std::vector<Child> children;
  for (int i = 0; i < 80; ++i) children.push_back(Child::Spawn(sleeper_));
  ExpectInChild([&] {
    const rlimit low{kSoft, kHard};
    if (::setrlimit(RLIMIT_NOFILE, &low) != 0) return 100;
    const int most_fds = OpenFdCount() + 5 + 64;  // /proc, its stat, loadavg and pid_max, the epoll set
    Rig rig;
    for (const Child& child : children) rig.filter.only.insert(child.pid());
    rlimit now{};
    int failed = ::getrlimit(RLIMIT_NOFILE, &now) != 0 || now.rlim_cur != kHard ? 1 : 0;
    for (int pass = 0; pass < 20; ++pass) {
      rig.monitor.Refresh();
      rig.monitor.Sweep();
      if (rig.processes.CachedProcesses() > 64 || OpenFdCount() > most_fds) failed |= 2;
    }
    for (const Child& child : children) {
      const int row = rig.monitor.RowOf(child.pid());
      failed |= row == kNoRow || rig.rows.Row(row).memory_k == 0 ? 4 : 0;
    }
    return failed;
  });
}

// Another user's process is counted but has no row, as a protected process
// on Windows; checked in a child that gives up root for 'nobody'.
TEST_F(ProcfsLinuxTest, AnotherUsersProcessIsCountedWithoutARow) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
  Child target = Child::Spawn(sleeper_);
  ExpectInChild([&] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) return 100;
    Rig rig;
    std::vector<Pid> pids;
    int failed = rig.processes.Snapshot(pids) && std::ranges::count(pids, target.pid()) == 1 ? 0 : 1;
    if (rig.RowAfterPass(target.pid()) != kNoRow) failed |= 2;
    if (rig.RowAfterPass(::getpid()) == kNoRow) failed |= 4;  // its own process it may read
    if (rig.monitor.Totals().processes < rig.rows.Count() + 1) failed |= 8;
    return failed;
  });
}

// A PID taken by a process of another file: reads answer for the newer one,
// the old row's end and set-priority don't touch it, the sweep drops it.
TEST_F(ProcfsLinuxTest, PidTakenByANewerProcess) {
  Child old = Child::Spawn(sleeper_);
  const pid_t pid = old.pid();
  const std::string newer_exe = dir_.path() + "/kelvar-newer";
  ASSERT_TRUE(CopySleep(newer_exe));
  rig_.filter.only = {pid};
  ASSERT_NE(rig_.RowAfterPass(pid), kNoRow);
  ASSERT_NE(rig_.RowAfterPass(pid), kNoRow);  // now known
  const ProcessId old_id = rig_.Id(pid);
  old.Reap();
  Child newer;
  int old_answers = 0;
  // The start times differ only when the newer one starts a clock tick later.
  ASSERT_TRUE(WaitUntil([&] {
    newer.Reap();  // frees the PID for the next try
    newer = Child::Spawn(newer_exe, {"600"}, pid);
    if (newer.pid() == 0) return errno != EEXIST;  // EEXIST: taken again meanwhile
    std::vector<Pid> pids;                         // each pass starts with the snapshot
    rig_.processes.Snapshot(pids);
    ProcessRecord record;
    if (!rig_.processes.Read(pid, true, record) || record.path != newer_exe) ++old_answers;
    return record.id.start != old_id.start;
  }));
  if (newer.pid() == 0) GTEST_SKIP() << "cannot choose a child's PID here";
  EXPECT_EQ(old_answers, 0);
  EXPECT_FALSE(rig_.processes.End(old_id));
  EXPECT_FALSE(rig_.processes.SetPriority(old_id, Priority::kIdle));
  rig_.monitor.Refresh();
  EXPECT_EQ(rig_.Id(pid), old_id);
  rig_.monitor.Sweep();
  EXPECT_EQ(rig_.monitor.RowOf(pid), kNoRow);
  ASSERT_NE(rig_.RowAfterPass(pid), kNoRow);
  EXPECT_EQ(rig_.Cell(pid, Column::kPath), newer_exe);
  // Not killed: a SIGSTOP sent now stops it, where a kill sent before ends it.
  ::kill(pid, SIGSTOP);
  EXPECT_TRUE(WaitUntil([&] { return StateOf(pid) == 'T' || StateOf(pid) == 'Z'; }) && StateOf(pid) == 'T');
}

// Classes set on the main thread from outside, as renice and chrt set them,
// read back; each class set reaches every thread.  Raising needs root.
TEST(PriorityLinuxTest, ClassesReadBackAndReachEveryThread) {
  Child outside = Child::Spawn(KELVAR_THREADS_CHILD, {"3"}),
        inside = Child::Spawn(KELVAR_THREADS_CHILD, {"3"});
  const std::string task = "/proc/" + std::to_string(inside.pid()) + "/task";
  ASSERT_TRUE(WaitUntil([&] { return ListDir(task).size() == 4; }));
  const std::tuple<int, int, const char*> cases[] = {
      {SCHED_OTHER, 0, "标准"}, {SCHED_OTHER, 1, "较低"},  {SCHED_OTHER, 10, "较低"},
      {SCHED_OTHER, 11, "低"},  {SCHED_OTHER, 19, "低"},   {SCHED_BATCH, 0, "标准"},
      {SCHED_IDLE, 0, "低"},    {SCHED_OTHER, -1, "较高"}, {SCHED_OTHER, -10, "较高"},
      {SCHED_OTHER, -11, "高"}, {SCHED_OTHER, -20, "高"},  {SCHED_FIFO, 0, "实时"},
      {SCHED_RR, 0, "实时"}};
  for (const auto& [policy, nice, name] : cases) {
    const sched_param param{policy == SCHED_FIFO || policy == SCHED_RR};
    const pid_t pid = outside.pid();
    if (::sched_setscheduler(pid, policy, &param) != 0 || ::setpriority(PRIO_PROCESS, pid, nice) != 0) {
      if (::geteuid() != 0) continue;
      FAIL() << "cannot set policy " << policy << " nice " << nice;
    }
    EXPECT_EQ(PriorityName(procfs::ReadClass(pid)), name) << policy << " " << nice;
  }
  // Through realtime and idle and back, so each leaves a policy to undo.
  ProcfsProcessSource processes;
  using P = Priority;
  for (P p : {P::kBelowNormal, P::kIdle, P::kRealtime, P::kNormal, P::kAboveNormal, P::kHigh, P::kRealtime,
              P::kIdle, P::kNormal}) {
    if (p != P::kBelowNormal && p != P::kIdle && ::geteuid() != 0) continue;
    ASSERT_TRUE(processes.SetPriority({inside.pid(), 0}, p)) << static_cast<int>(p);
    for (const std::string& tid : ListDir(task))
      EXPECT_EQ(procfs::ReadClass(std::stoi(tid)), p) << static_cast<int>(p) << " " << tid;
  }
}

}  // namespace
}  // namespace kelvar::test
