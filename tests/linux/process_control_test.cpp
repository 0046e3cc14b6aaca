// The process control on real processes the tests start: what each open
// needs, what a handle answers, a PID taken by a newer process, a zombie, and
// what a user without rights over a process is given.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <string>

#include "actions/commands.h"
#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"
#include "platform/scoped_process.h"
#include "test_support.h"

namespace kelvar::test {
namespace {

constexpr std::uint32_t kReadAccess = access::kRead;
constexpr std::uint32_t kEndAccess = access::kTerminate | access::kQueryLimited;

class ProcessControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    exe_ = dir_.path() + "/kelvar-sleeper";
    ASSERT_TRUE(CopySleep(exe_));
    child_ = Child::Spawn(exe_, {"600"});
    ASSERT_GT(child_.pid(), 0);
  }

  TempDir dir_;
  std::string exe_;
  Child child_;
  ProcfsProcessControl proc_;
};

TEST_F(ProcessControlTest, SnapshotListsProcessesNotThreads) {
  std::vector<Pid> pids;
  ASSERT_TRUE(proc_.Snapshot(pids));
  EXPECT_NE(std::find(pids.begin(), pids.end(), child_.pid()), pids.end());
  EXPECT_NE(std::find(pids.begin(), pids.end(), ::getpid()), pids.end());
  Child threaded = Child::Spawn(KELVAR_THREADS_CHILD, {"3"});
  ASSERT_TRUE(WaitUntil([&] { return ThreadsOf(threaded.pid()).size() == 4; }));
  ASSERT_TRUE(proc_.Snapshot(pids));
  for (pid_t tid : ThreadsOf(threaded.pid()))
    EXPECT_EQ(std::count(pids.begin(), pids.end(), tid), tid == threaded.pid() ? 1 : 0);
}

TEST_F(ProcessControlTest, ReadHandleAnswersFromProc) {
  ScopedProcess h(proc_, child_.pid(), kReadAccess);
  ASSERT_TRUE(h);
  std::string path = "left over from before";
  ASSERT_TRUE(proc_.ModulePath(h.get(), path));
  EXPECT_EQ(path, exe_);
  EXPECT_GT(proc_.WorkingSet(h.get()), 0u);
  EXPECT_EQ(proc_.WorkingSet(h.get()) % static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)), 0u);
  EXPECT_EQ(proc_.ExitCode(h.get()), kStillActive);
  EXPECT_EQ(proc_.GetPriorityClass(h.get()), 0x20u);
  // The start time names the process: the same from every kind of handle.
  const std::uint64_t start = proc_.StartTime(h.get());
  EXPECT_NE(start, 0u);
  ScopedProcess query(proc_, child_.pid(), access::kQueryInformation);
  ScopedProcess end(proc_, child_.pid(), kEndAccess);
  EXPECT_EQ(proc_.StartTime(query.get()), start);
  EXPECT_EQ(proc_.StartTime(end.get()), start);
  procfs::ProcStat stat;
  procfs::UniqueFd proc_dir(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_TRUE(procfs::ReadStat(proc_dir.get(), child_.pid(), stat));
  EXPECT_EQ(start, stat.start_time + 1);
}

TEST_F(ProcessControlTest, EachCallNeedsTheRightsOfItsWindowsCounterpart) {
  ScopedProcess query(proc_, child_.pid(), access::kQueryInformation);
  ScopedProcess set(proc_, child_.pid(), access::kSetInformation);
  ScopedProcess read(proc_, child_.pid(), kReadAccess);
  ASSERT_TRUE(query && set && read);
  std::string path;
  EXPECT_FALSE(proc_.ModulePath(query.get(), path));
  EXPECT_EQ(proc_.WorkingSet(query.get()), 0u);
  EXPECT_EQ(proc_.GetPriorityClass(set.get()), 0u);
  EXPECT_FALSE(proc_.SetPriorityClass(read.get(), 0x20));
  EXPECT_FALSE(proc_.Terminate(read.get(), 0));
  EXPECT_FALSE(proc_.Terminate(query.get(), 0));
  // Had a kill been sent, the child would end rather than stop.
  ::kill(child_.pid(), SIGSTOP);
  ASSERT_TRUE(WaitUntil([&] { return StateOf(child_.pid()) == 'T' || StateOf(child_.pid()) == 'Z'; }));
  EXPECT_EQ(StateOf(child_.pid()), 'T');
}

TEST_F(ProcessControlTest, OpensThatFail) {
  // A PID no process has: the highest possible one is all but never in use.
  EXPECT_EQ(proc_.Open(0x3FFFFFFF, access::kQueryInformation, false), 0u);
  EXPECT_EQ(proc_.Open(0, kReadAccess, false), 0u);
  EXPECT_EQ(proc_.Open(-1, kReadAccess, false), 0u);
  // Handle 0 answers every call with failure.
  std::string path;
  EXPECT_FALSE(proc_.ModulePath(0, path));
  EXPECT_EQ(proc_.GetPriorityClass(0), 0u);
  EXPECT_FALSE(proc_.SetPriorityClass(0, 0x20));
  EXPECT_FALSE(proc_.Terminate(0, 0));
  // A handle is refused once closed, even when its slot serves a new one.
  ProcessHandle first = proc_.Open(child_.pid(), kReadAccess, false);
  proc_.Close(first);
  ProcessHandle second = proc_.Open(child_.pid(), kReadAccess, false);
  EXPECT_NE(first, second);
  EXPECT_FALSE(proc_.ModulePath(first, path));
  EXPECT_TRUE(proc_.ModulePath(second, path));
  proc_.Close(first);  // no effect on `second`
  EXPECT_TRUE(proc_.ModulePath(second, path));
  proc_.Close(second);
  EXPECT_EQ(proc_.OpenHandles(), 0);
}

TEST_F(ProcessControlTest, KernelThreadsCannotBeOpenedForReading) {
  // kthreadd is PID 2 where the kernel's threads are visible at all.
  std::string comm;
  std::getline(std::ifstream("/proc/2/comm"), comm);
  if (comm != "kthreadd") GTEST_SKIP() << "no kernel threads in this PID namespace";
  EXPECT_EQ(proc_.Open(2, kReadAccess, false), 0u);
  ScopedProcess query(proc_, 2, access::kQueryInformation);
  EXPECT_TRUE(query);
}

TEST_F(ProcessControlTest, ZombieCountsAsEnded) {
  child_.Kill();
  ASSERT_TRUE(child_.WaitForZombie());
  EXPECT_EQ(proc_.Open(child_.pid(), kReadAccess, false), 0u);
  ScopedProcess query(proc_, child_.pid(), access::kQueryLimited);
  ASSERT_TRUE(query);
  EXPECT_EQ(proc_.ExitCode(query.get()), 0u);
  child_.Reap();
  EXPECT_EQ(proc_.Open(child_.pid(), access::kQueryInformation, false), 0u);
}

TEST_F(ProcessControlTest, EndProWithTheRowsStartTimeEndsIt) {
  ScopedProcess read(proc_, child_.pid(), kReadAccess);
  const std::uint64_t start = proc_.StartTime(read.get());
  ASSERT_NE(start, 0u);
  EndPro(proc_, child_.pid(), start);
  EXPECT_TRUE(child_.WaitForZombie());
  EXPECT_EQ(proc_.OpenHandles(), 1);
}

// A PID taken by a newer process: the start time read through the cache of
// the refresh must follow the newer process, and the sweep drops the row.
TEST_F(ProcessControlTest, PidTakenByANewerProcess) {
  Rig rig;
  const pid_t pid = child_.pid();
  rig.filter.only = {pid};
  ASSERT_NE(rig.RowAfterPass(pid), 0);
  ASSERT_NE(rig.RowAfterPass(pid), 0);  // now known: its start time is cached
  const std::uint64_t old_start = rig.rows.StartTime(rig.monitor.HaveItem(pid));
  child_.Reap();
  Child newer;
  // The newer process must start at least one clock tick later to differ.
  ASSERT_TRUE(WaitUntil([&] {
    newer.Reap();  // frees the PID for the next try
    newer = Child::Spawn(exe_, {"600"}, pid);
    if (newer.pid() == 0) return errno != EEXIST;  // EEXIST: taken again meanwhile
    ScopedProcess h(rig.proc, pid, kReadAccess);
    return rig.proc.StartTime(h.get()) != old_start;
  }));
  if (newer.pid() == 0) GTEST_SKIP() << "cannot choose a child's PID here";
  rig.monitor.ListProcess();
  EXPECT_EQ(rig.rows.StartTime(rig.monitor.HaveItem(pid)), old_start);
  rig.monitor.CheckProcess();
  EXPECT_EQ(rig.monitor.HaveItem(pid), 0);
  EXPECT_NE(rig.RowAfterPass(pid), 0);
}

// Another user's process: counted by the refresh, but it has no row, as a
// protected process has none on Windows.  The check runs in a child that
// gives up root for 'nobody'.
TEST_F(ProcessControlTest, AnotherUsersProcessIsCountedWithoutARow) {
  if (!IsRoot()) GTEST_SKIP() << "needs root to become another user";
  const pid_t target = child_.pid();
  const pid_t checker = ::fork();
  ASSERT_GE(checker, 0);
  if (checker == 0) {
    int failed = 0;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    Rig rig;
    std::vector<Pid> pids;
    rig.proc.Snapshot(pids);
    if (std::find(pids.begin(), pids.end(), target) == pids.end()) failed |= 1;
    if (rig.proc.Open(target, kReadAccess, false) != 0) failed |= 2;
    if (rig.RowAfterPass(target) != 0) failed |= 4;
    if (rig.RowAfterPass(::getpid()) == 0) failed |= 8;  // its own process it may read
    if (rig.status.panels[1] != "进程数：" + std::to_string(rig.monitor.LastProCount) ||
        rig.monitor.LastProCount < static_cast<std::int64_t>(rig.rows.Count()) + 1)
      failed |= 16;
    ::_exit(failed);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(checker, &status, 0), checker);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed checks (bits): " << WEXITSTATUS(status);
}

}  // namespace
}  // namespace kelvar::test
