// The refresh pass and the sweep over the real adapters and processes the
// tests start: the cells of a new row, file names that break naive code, a
// deleted executable, ending a process, more processes than a low descriptor
// limit lets the adapter keep, and no descriptor left behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "actions/commands.h"
#include "actions/priority.h"
#include "platform/scoped_process.h"
#include "test_support.h"

namespace kelvar::test {
namespace {

class MonitorLinuxTest : public ::testing::Test {
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

TEST_F(MonitorLinuxTest, AChildGetsARowWithItsCells) {
  const std::string exe = dir_.path() + "/kelvar-sleeper";
  Child child = StartAt(exe);
  ASSERT_GT(child.pid(), 0);
  ASSERT_NE(rig_.RowAfterPass(child.pid()), 0);
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kName), "kelvar-sleeper");
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kPid), std::to_string(child.pid()));
  EXPECT_GT(std::stoull(rig_.Cell(child.pid(), cell::kMemory)), 0u);
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kPriority), "标准");
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kPath), exe);
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kKind), "");
  EXPECT_NE(rig_.status.panels[1].find("进程数："), std::string::npos);
  EXPECT_NE(rig_.status.panels[2].find("已用内存："), std::string::npos);
  // The program's own process has its row too.
  EXPECT_NE(rig_.monitor.HaveItem(::getpid()), 0);
}

TEST_F(MonitorLinuxTest, NamesAreKeptByteForByte) {
  std::string deep = dir_.path();
  while (deep.size() < 3000) {
    deep += "/" + std::string(200, 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
  }
  const std::string names[] = {"with space", "中文进程", "bad\xff\xfe\x80name", "new\nline",
                               "a\\??\\b",   "trailing ", " leading", "\\??\\C:\\x.exe"};
  std::vector<std::pair<std::string, Child>> children;
  for (const std::string& name : names) children.emplace_back(name, StartAt(dir_.path() + "/" + name));
  children.emplace_back("deep", StartAt(deep + "/deep"));
  rig_.monitor.ListProcess();
  for (auto& [name, child] : children) {
    ASSERT_GT(child.pid(), 0) << name;
    ASSERT_NE(rig_.monitor.HaveItem(child.pid()), 0) << name;
    const std::string path = name == "deep" ? deep + "/deep" : dir_.path() + "/" + name;
    EXPECT_EQ(rig_.Cell(child.pid(), cell::kPath), path) << name;
    EXPECT_EQ(rig_.Cell(child.pid(), cell::kName), name);
  }
}

TEST_F(MonitorLinuxTest, DeletedExecutableKeepsItsPathAndHasNoName) {
  const std::string exe = dir_.path() + "/gone soon";
  Child child = StartAt(exe);
  ASSERT_GT(child.pid(), 0);
  ASSERT_EQ(::unlink(exe.c_str()), 0);
  ASSERT_NE(rig_.RowAfterPass(child.pid()), 0);
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kPath), exe + " (deleted)");
  EXPECT_EQ(rig_.Cell(child.pid(), cell::kName), "");
}

// Ended through the core's path, ended from outside and left a zombie, and
// ended and reaped: each row is gone after one sweep; the living one stays.
TEST_F(MonitorLinuxTest, EndedProcessesLeaveWithinOneSweep) {
  Child ended = StartAt(dir_.path() + "/ended"), zombie = StartAt(dir_.path() + "/zombie"),
        reaped = StartAt(dir_.path() + "/reaped"), living = StartAt(dir_.path() + "/living");
  rig_.filter.only = {ended.pid(), zombie.pid(), reaped.pid(), living.pid()};
  rig_.monitor.ListProcess();
  ASSERT_EQ(rig_.rows.Count(), 4);
  const int row = rig_.monitor.HaveItem(ended.pid());
  EndPro(rig_.proc, ended.pid(), rig_.rows.StartTime(row));
  zombie.Kill();
  reaped.Reap();
  ASSERT_TRUE(ended.WaitForZombie());
  ASSERT_TRUE(zombie.WaitForZombie());
  rig_.monitor.CheckProcess();
  EXPECT_EQ(rig_.rows.Count(), 1);
  EXPECT_NE(rig_.monitor.HaveItem(living.pid()), 0);
  EXPECT_EQ(rig_.proc.OpenHandles(), 0);
}

// Many passes over processes of every kind (readable, a zombie, one that has
// gone, the kernel's) with class queries and ends in between: the adapter's
// descriptors and handles are what they were.
TEST_F(MonitorLinuxTest, NoDescriptorIsLeftAfterTenThousandPasses) {
  Child a = StartAt(dir_.path() + "/a"), b = StartAt(dir_.path() + "/b"), zombie = StartAt(dir_.path() + "/z");
  zombie.Kill();
  ASSERT_TRUE(zombie.WaitForZombie());
  rig_.filter.only = {a.pid(), b.pid(), zombie.pid(), 1, 2, ::getpid(), 0x3FFFFFFF};
  rig_.monitor.ListProcess();
  rig_.monitor.CheckProcess();
  const int fds = OpenFdCount();
  for (int pass = 0; pass < 10000; ++pass) {
    rig_.monitor.ListProcess();
    if (pass % 3 == 0) rig_.monitor.CheckProcess();
    if (pass % 100 == 0) {
      SetProClass(rig_.proc, a.pid(), 0x20);
      SetProClass(rig_.proc, 0x3FFFFFFF, 0x20);
      EndPro(rig_.proc, b.pid(), 1);  // not b's start time: nothing happens
      EndPro(rig_.proc, zombie.pid(), 0);
    }
  }
  EXPECT_EQ(OpenFdCount(), fds);
  EXPECT_EQ(rig_.proc.OpenHandles(), 0);
  EXPECT_NE(rig_.monitor.HaveItem(b.pid()), 0);
}

// A thousand processes come and go, fifty at a time, each seen by a pass and
// ended from outside or by the end command: afterwards the adapter holds the
// descriptors it held before and keeps none of those processes.
TEST_F(MonitorLinuxTest, NoDescriptorIsLeftByAThousandShortLivedProcesses) {
  const std::string exe = dir_.path() + "/short";
  ASSERT_TRUE(CopySleep(exe));
  rig_.filter.only = {::getpid()};
  rig_.monitor.ListProcess();
  const int fds = OpenFdCount();
  const std::size_t kept = rig_.proc.CachedProcesses();
  for (int batch = 0; batch < 20; ++batch) {
    std::vector<Child> children(50);
    for (Child& child : children) {
      child = Child::Spawn(exe, {"600"});
      ASSERT_GT(child.pid(), 0);
      rig_.filter.only.insert(child.pid());
    }
    rig_.monitor.ListProcess();
    ASSERT_EQ(rig_.rows.Count(), 51);
    for (std::size_t i = 0; i < children.size(); ++i) {
      const Pid pid = children[i].pid();
      if (i % 2) {
        EndPro(rig_.proc, pid, rig_.rows.StartTime(rig_.monitor.HaveItem(pid)));
      } else {
        children[i].Kill();
      }
    }
    children.clear();  // reaped
    rig_.monitor.CheckProcess();
    ASSERT_EQ(rig_.rows.Count(), 1);
    rig_.filter.only = {::getpid()};
  }
  rig_.monitor.ListProcess();
  EXPECT_EQ(OpenFdCount(), fds);
  EXPECT_EQ(rig_.proc.CachedProcesses(), kept);
  EXPECT_EQ(rig_.proc.OpenHandles(), 0);
}

// Started with a soft descriptor limit of 64 under a hard one of 320, the
// program raises the soft limit to 320, which leaves room to keep 32
// processes: with 40 children besides the rest of the process table, the
// others are read afresh, every child still gets its row, and the
// descriptors stay within bounds.  Run in a child process, which alone lives
// with the lowered limit.
TEST_F(MonitorLinuxTest, ALowDescriptorLimitIsRaisedAndKept) {
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
  const pid_t checker = ::fork();
  ASSERT_GE(checker, 0);
  if (checker == 0) {
    const rlimit low{kSoft, kHard};
    if (::setrlimit(RLIMIT_NOFILE, &low) != 0) ::_exit(100);
    int failed = 0;
    // The adapter's own: /proc, the epoll set, and two for each kept process.
    const int most_fds = OpenFdCount() + 2 + 2 * 32;
    Rig rig;
    rlimit now{};
    if (::getrlimit(RLIMIT_NOFILE, &now) != 0 || now.rlim_cur != kHard) failed |= 1;
    for (int pass = 0; pass < 20; ++pass) {
      rig.monitor.ListProcess();
      rig.monitor.CheckProcess();
      if (rig.proc.CachedProcesses() > 32 || OpenFdCount() > most_fds) failed |= 2;
    }
    for (Pid pid : pids) failed |= rig.monitor.HaveItem(pid) == 0 ? 4 : 0;
    ::_exit(failed);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(checker, &status, 0), checker);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed checks (bits): " << WEXITSTATUS(status);
}

}  // namespace
}  // namespace kelvar::test
