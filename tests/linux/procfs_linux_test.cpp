// The Linux adapters under the monitor, on /proc and on processes the tests
// start: the cells of a new row, priority classes read back and set on every
// thread, ending a process, a PID taken by a newer process, a process the
// user may not read, and the descriptors the process cache holds over many
// passes and beyond its capacity.
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>

#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/procfs_priority.h"
#include "procinfo/priority.h"
#include "support/test_support.h"

namespace kelvar::test {
namespace {

class ProcfsLinuxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  // Starts a copy of sleep at `path`; pid 0 on failure.
  Child StartAt(const std::string& path) {
    if (!CopySleep(path)) return Child();
    return Child::Spawn(path, {"600"});
  }

  TempDir dir_;
  Rig rig_;
};

// The state letter reads 'T' once a SIGSTOP sent now has stopped the child;
// had a kill been sent before, it ends instead.
bool NotKilled(pid_t pid) {
  ::kill(pid, SIGSTOP);
  return WaitUntil([&] { return StateOf(pid) == 'T' || StateOf(pid) == 'Z'; }) && StateOf(pid) == 'T';
}

TEST_F(ProcfsLinuxTest, AChildGetsARowWithItsCells) {
  const std::string exe = dir_.path() + "/kelvar-sleeper";
  Child child = StartAt(exe);
  ASSERT_GT(child.pid(), 0);
  ASSERT_NE(rig_.RowAfterPass(child.pid()), 0);
  EXPECT_EQ(rig_.Cell(child.pid(), column::kName), "kelvar-sleeper");
  EXPECT_EQ(rig_.Cell(child.pid(), column::kPid), std::to_string(child.pid()));
  EXPECT_GT(std::stoull(rig_.Cell(child.pid(), column::kMemory)), 0u);
  EXPECT_EQ(rig_.Cell(child.pid(), column::kPriority), "标准");
  EXPECT_EQ(rig_.Cell(child.pid(), column::kPath), exe);
  EXPECT_EQ(rig_.Cell(child.pid(), column::kKind), "");
  EXPECT_NE(rig_.status.panels[1].find("进程数："), std::string::npos);
  EXPECT_NE(rig_.status.panels[2].find("已用内存："), std::string::npos);
  // The program's own process has its row too.
  EXPECT_NE(rig_.monitor.RowOf(::getpid()), 0);
}

// Ended through the core's path, ended from outside and left a zombie, and
// ended and reaped: each row is gone after one sweep; the living one stays.
TEST_F(ProcfsLinuxTest, EndedProcessesLeaveWithinOneSweep) {
  Child ended = StartAt(dir_.path() + "/ended"), zombie = StartAt(dir_.path() + "/zombie"),
        reaped = StartAt(dir_.path() + "/reaped"), living = StartAt(dir_.path() + "/living");
  rig_.filter.only = {ended.pid(), zombie.pid(), reaped.pid(), living.pid()};
  rig_.monitor.ListProcess();
  ASSERT_EQ(rig_.rows.Count(), 4);
  EXPECT_TRUE(rig_.processes.End(rig_.rows.Row(rig_.monitor.RowOf(ended.pid())).id));
  zombie.Kill();
  reaped.Reap();
  ASSERT_TRUE(ended.WaitForZombie());
  ASSERT_TRUE(zombie.WaitForZombie());
  rig_.monitor.CheckProcess();
  EXPECT_EQ(rig_.rows.Count(), 1);
  EXPECT_NE(rig_.monitor.RowOf(living.pid()), 0);
}

// Passes over processes of every kind (readable, a zombie, one that has
// gone, the kernel's) with class changes and ends in between, while a
// thousand processes come and go, fifty at a time, each seen by a pass and
// ended from outside or by the end command: afterwards the adapter holds the
// descriptors it held before and keeps none of those processes.
TEST_F(ProcfsLinuxTest, NoDescriptorIsLeftBehind) {
  Child a = StartAt(dir_.path() + "/a"), b = StartAt(dir_.path() + "/b"),
        zombie = StartAt(dir_.path() + "/z");
  const std::string exe = dir_.path() + "/short";
  ASSERT_TRUE(CopySleep(exe));
  zombie.Kill();
  ASSERT_TRUE(zombie.WaitForZombie());
  const std::set<Pid> steady = {a.pid(), b.pid(), zombie.pid(), 1, 2, ::getpid(), 0x3FFFFFFF};
  rig_.filter.only = steady;
  rig_.monitor.ListProcess();
  rig_.monitor.CheckProcess();
  const int fds = OpenFdCount(), rows = rig_.rows.Count();
  const std::size_t kept = rig_.processes.CachedProcesses();
  for (int batch = 0; batch < 20; ++batch) {
    std::vector<Child> children(50);
    for (Child& child : children) {
      child = Child::Spawn(exe, {"600"});
      ASSERT_GT(child.pid(), 0);
      rig_.filter.only.insert(child.pid());
    }
    for (int pass = 0; pass < 100; ++pass) {
      rig_.monitor.ListProcess();
      if (pass % 3 == 0) rig_.monitor.CheckProcess();
    }
    rig_.processes.SetPriority({a.pid(), 0}, Priority::kNormal);
    rig_.processes.SetPriority({0x3FFFFFFF, 0}, Priority::kNormal);
    rig_.processes.End({b.pid(), 1});  // not b's start time: nothing happens
    rig_.processes.End({zombie.pid(), 0});
    for (std::size_t i = 0; i < children.size(); ++i) {
      if (i % 2) {
        rig_.processes.End(rig_.rows.Row(rig_.monitor.RowOf(children[i].pid())).id);
      } else {
        children[i].Kill();
      }
    }
    children.clear();  // reaped
    rig_.monitor.CheckProcess();
    rig_.filter.only = steady;
    rig_.monitor.ListProcess();
    ASSERT_EQ(rig_.rows.Count(), rows);
  }
  EXPECT_EQ(OpenFdCount(), fds);
  EXPECT_EQ(rig_.processes.CachedProcesses(), kept);
}

// Started with a soft descriptor limit of 64 under a hard one of 320, the
// program raises the soft limit to 320, which leaves room to keep 32
// processes: with 40 children besides the rest of the process table, the
// others are read afresh, every child still gets its row, and the
// descriptors stay within bounds.  Run in a child process, which alone lives
// with the lowered limit.
TEST_F(ProcfsLinuxTest, ALowDescriptorLimitIsRaisedAndKept) {
  constexpr rlim_t kSoft = 64, kHard = 320;
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < kHard) GTEST_SKIP() << "the hard descriptor limit is below " << kHard;
  std::vector<Child> children(40);
  std::set<Pid> pids;
  for (Child& child : children) {
    child = StartAt(dir_.path() + "/p" + std::to_string(pids.size()));
    ASSERT_GT(child.pid(), 0);
    pids.insert(child.pid());
  }
  ExpectInChild([&] {
    const rlimit low{kSoft, kHard};
    if (::setrlimit(RLIMIT_NOFILE, &low) != 0) return 100;
    int failed = 0;
    // The adapter's own: /proc, the epoll set, and two for each kept process.
    const int most_fds = OpenFdCount() + 2 + 2 * 32;
    Rig rig;
    rlimit now{};
    if (::getrlimit(RLIMIT_NOFILE, &now) != 0 || now.rlim_cur != kHard) failed |= 1;
    for (int pass = 0; pass < 20; ++pass) {
      rig.monitor.ListProcess();
      rig.monitor.CheckProcess();
      if (rig.processes.CachedProcesses() > 32 || OpenFdCount() > most_fds) failed |= 2;
    }
    for (Pid pid : pids) failed |= rig.monitor.RowOf(pid) == 0 ? 4 : 0;
    return failed;
  });
}

// Another user's process: counted by the refresh, but it has no row, as a
// protected process has none on Windows.  The check runs in a child that
// gives up root for 'nobody'.
TEST_F(ProcfsLinuxTest, AnotherUsersProcessIsCountedWithoutARow) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
  Child target = StartAt(dir_.path() + "/root-owned");
  ASSERT_GT(target.pid(), 0);
  ExpectInChild([&] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) return 100;
    int failed = 0;
    Rig rig;
    std::vector<Pid> pids;
    rig.processes.Snapshot(pids);
    if (std::find(pids.begin(), pids.end(), target.pid()) == pids.end()) failed |= 1;
    ProcessRecord record;
    if (rig.processes.Read(target.pid(), true, record)) failed |= 2;
    if (rig.RowAfterPass(target.pid()) != 0) failed |= 4;
    if (rig.RowAfterPass(::getpid()) == 0) failed |= 8;  // its own process it may read
    if (rig.status.panels[1] != "进程数：" + std::to_string(rig.monitor.LastProcessCount) ||
        rig.monitor.LastProcessCount < static_cast<std::int64_t>(rig.rows.Count()) + 1)
      failed |= 16;
    return failed;
  });
}

// A PID taken by a newer process, started from another file: every read
// answers for the newer one from its first moment on, never with what was
// read of the old one; the old row's end command does not touch the newer
// one; the sweep drops the old row.
TEST_F(ProcfsLinuxTest, PidTakenByANewerProcess) {
  Child old = StartAt(dir_.path() + "/kelvar-older");
  const pid_t pid = old.pid();
  ASSERT_GT(pid, 0);
  const std::string newer_exe = dir_.path() + "/kelvar-newer";
  ASSERT_TRUE(CopySleep(newer_exe));
  rig_.filter.only = {pid};
  ASSERT_NE(rig_.RowAfterPass(pid), 0);
  ASSERT_NE(rig_.RowAfterPass(pid), 0);  // now known
  const ProcessId old_id = rig_.rows.Row(rig_.monitor.RowOf(pid)).id;
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
  rig_.monitor.ListProcess();
  EXPECT_EQ(rig_.rows.Row(rig_.monitor.RowOf(pid)).id, old_id);
  rig_.monitor.CheckProcess();
  EXPECT_EQ(rig_.monitor.RowOf(pid), 0);
  ASSERT_NE(rig_.RowAfterPass(pid), 0);
  EXPECT_EQ(rig_.Cell(pid, column::kPath), newer_exe);
  EXPECT_NE(rig_.rows.Row(rig_.monitor.RowOf(pid)).id, old_id);
  EXPECT_TRUE(NotKilled(pid));
}

// A child with three threads besides its main one.
class PriorityLinuxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    child_ = Child::Spawn(KELVAR_THREADS_CHILD, {"3"});
    ASSERT_GT(child_.pid(), 0);
    ASSERT_TRUE(WaitUntil([&] { return ThreadsOf(child_.pid()).size() == 4; }));
  }

  Child child_;
  ProcfsProcessSource processes_;
};

// Settings made on the main thread from outside, as renice and chrt make them.
// Raising a priority needs root; without it those cases are skipped.
TEST_F(PriorityLinuxTest, ClassSetByOtherMeansIsReadBack) {
  const struct {
    int policy;
    int nice;
    const char* name;
  } cases[] = {
      {SCHED_OTHER, 0, "标准"}, {SCHED_OTHER, 1, "较低"},  {SCHED_OTHER, 10, "较低"},
      {SCHED_OTHER, 11, "低"},  {SCHED_OTHER, 19, "低"},   {SCHED_BATCH, 0, "标准"},
      {SCHED_IDLE, 0, "低"},    {SCHED_OTHER, -1, "较高"}, {SCHED_OTHER, -10, "较高"},
      {SCHED_OTHER, -11, "高"}, {SCHED_OTHER, -20, "高"},  {SCHED_FIFO, 0, "实时"},
      {SCHED_RR, 0, "实时"},
  };
  const pid_t pid = child_.pid();
  for (const auto& c : cases) {
    sched_param param{};
    param.sched_priority = (c.policy == SCHED_FIFO || c.policy == SCHED_RR) ? 1 : 0;
    if (::sched_setscheduler(pid, c.policy, &param) != 0 || ::setpriority(PRIO_PROCESS, pid, c.nice) != 0) {
      if (::geteuid() != 0) continue;  // raising needs root
      FAIL() << "cannot set policy " << c.policy << " nice " << c.nice;
    }
    EXPECT_EQ(PriorityName(procfs::ReadClass(pid)), c.name) << c.policy << " " << c.nice;
  }
}

TEST_F(PriorityLinuxTest, EveryClassReachesEveryThread) {
  const pid_t pid = child_.pid();
  // Through realtime and idle and back, so each leaves a policy to undo.
  using P = Priority;
  for (P p : {P::kBelowNormal, P::kIdle, P::kRealtime, P::kNormal, P::kAboveNormal, P::kHigh, P::kRealtime,
              P::kIdle, P::kNormal}) {
    const bool raising = p != P::kBelowNormal && p != P::kIdle;
    if (raising && ::geteuid() != 0) continue;
    const int n = static_cast<int>(p);
    ASSERT_TRUE(processes_.SetPriority({pid, 0}, p)) << n;
    for (pid_t tid : ThreadsOf(pid)) EXPECT_EQ(procfs::ReadClass(tid), p) << n << " " << tid;
  }
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

// The remark file through iconv, rewritten in place between reads: by its
// byte-order mark, else code page 936, cut at 254 bytes of code page 936.
TEST(LinuxProfileReaderTest, ReadsTheRemarkFileAsWindowsDoes) {
  using namespace std::string_literals;
  const std::string utf8_bom = "\xEF\xBB\xBF";
  const struct {
    const char* what;
    std::string file;
    const char* key;
    std::string value;
  } cases[] = {
      {"code page 936", "[s]\r\n\xBA\xCB\xD0\xC4.exe=\xBA\xCB\xD0\xC4|x\r\n", "核心.exe", "核心|x"},
      {"UTF-16LE", "\xFF\xFE[\0s\0]\0\r\0\n\0a\0=\0\x38\x68\xC3\x5F"s, "a", "核心"},
      {"UTF-8 cut in code page 936 bytes", utf8_bom + "[s]\na=" + Repeat("汉", 200), "a", Repeat("汉", 127)},
      {"no form in code page 936: a byte per UTF-16 unit",
       utf8_bom + "[s]\na=" + Repeat("ő", 100) + Repeat("😀", 100), "a", Repeat("ő", 100) + Repeat("😀", 77)},
  };
  TempDir dir;
  LinuxProfileReader reader;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.path() + "/system.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.file;
    EXPECT_EQ(reader.GetString("s", c.key, path), c.value);
  }
}

}  // namespace
}  // namespace kelvar::test
