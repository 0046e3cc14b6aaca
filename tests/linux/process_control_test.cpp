// The process control on real processes the tests start: what each open
// needs, what a handle answers, a PID taken by a newer process, a process
// that ends, and what a user without rights over a process is given.  Every
// test runs twice: with the processes kept between opens, and with a cache of
// no room, where each open reads its process afresh (as beyond the cache's
// capacity).
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
constexpr std::size_t kKeepAll = 1024;

class ProcessControlTest : public ::testing::TestWithParam<std::size_t> {
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
  ProcfsProcessControl proc_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Cache, ProcessControlTest, ::testing::Values(kKeepAll, std::size_t{0}),
                         [](const auto& info) { return info.param == 0 ? "ReadAfresh" : "Kept"; });

// The state letter reads 'T' once a SIGSTOP sent now has stopped the child;
// had a kill been sent before, it ends instead.
bool NotKilled(pid_t pid) {
  ::kill(pid, SIGSTOP);
  return WaitUntil([&] { return StateOf(pid) == 'T' || StateOf(pid) == 'Z'; }) && StateOf(pid) == 'T';
}

TEST_P(ProcessControlTest, SnapshotListsProcessesNotThreads) {
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

TEST_P(ProcessControlTest, ReadHandleAnswersFromProc) {
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

TEST_P(ProcessControlTest, EachCallNeedsTheRightsOfItsWindowsCounterpart) {
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
  EXPECT_TRUE(NotKilled(child_.pid()));
}

TEST_P(ProcessControlTest, OpensThatFail) {
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

TEST_P(ProcessControlTest, KernelThreadsCannotBeOpenedForReading) {
  // kthreadd is PID 2 where the kernel's threads are visible at all.
  std::string comm;
  std::getline(std::ifstream("/proc/2/comm"), comm);
  if (comm != "kthreadd") GTEST_SKIP() << "no kernel threads in this PID namespace";
  ScopedProcess query(proc_, 2, access::kQueryInformation);
  EXPECT_TRUE(query);
  // Refused again once the process is known.
  EXPECT_EQ(proc_.Open(2, kReadAccess, false), 0u);
  EXPECT_EQ(proc_.Open(2, kReadAccess, false), 0u);
}

// Met while it lives, then ended: left a zombie, or reaped as well.  A handle
// held across the end sees it; later opens to read fail; an open to query
// finds the zombie ended and nothing once it is reaped.
TEST_P(ProcessControlTest, AnEndedProcessIsSeenEnded) {
  for (const bool reaped : {false, true}) {
    Child child = Child::Spawn(exe_, {"600"});
    const pid_t pid = child.pid();
    ASSERT_GT(pid, 0);
    ScopedProcess before(proc_, pid, kReadAccess);
    ASSERT_EQ(proc_.ExitCode(before.get()), kStillActive);
    child.Kill();
    ASSERT_TRUE(child.WaitForZombie());
    if (reaped) child.Reap();
    EXPECT_EQ(proc_.ExitCode(before.get()), 0u) << reaped;
    EXPECT_EQ(proc_.Open(pid, kReadAccess, false), 0u) << reaped;
    ScopedProcess query(proc_, pid, access::kQueryLimited);
    EXPECT_EQ(static_cast<bool>(query), !reaped) << reaped;
    EXPECT_EQ(proc_.ExitCode(query.get()), 0u) << reaped;
  }
}

TEST_P(ProcessControlTest, EndProWithTheRowsStartTimeEndsIt) {
  ScopedProcess read(proc_, child_.pid(), kReadAccess);
  const std::uint64_t start = proc_.StartTime(read.get());
  ASSERT_NE(start, 0u);
  EndPro(proc_, child_.pid(), start);
  EXPECT_TRUE(child_.WaitForZombie());
  EXPECT_EQ(proc_.OpenHandles(), 1);
}

// A PID taken by a newer process, started from another file: every open
// answers for the newer one from its first moment on, never with what was
// read of the old one; neither a handle of the old process nor the old row's
// end command touches the newer one; the sweep drops the old row.
TEST_P(ProcessControlTest, PidTakenByANewerProcess) {
  Rig rig(GetParam());
  const pid_t pid = child_.pid();
  const std::string newer_exe = dir_.path() + "/kelvar-newer";
  ASSERT_TRUE(CopySleep(newer_exe));
  rig.filter.only = {pid};
  ASSERT_NE(rig.RowAfterPass(pid), 0);
  ASSERT_NE(rig.RowAfterPass(pid), 0);  // now known
  const std::uint64_t old_start = rig.rows.StartTime(rig.monitor.HaveItem(pid));
  const ProcessHandle old_end = rig.proc.Open(pid, kEndAccess, false);
  ASSERT_NE(old_end, 0u);
  child_.Reap();
  Child newer;
  int old_answers = 0;
  // The start times differ only when the newer one starts a clock tick later.
  ASSERT_TRUE(WaitUntil([&] {
    newer.Reap();  // frees the PID for the next try
    newer = Child::Spawn(newer_exe, {"600"}, pid);
    if (newer.pid() == 0) return errno != EEXIST;  // EEXIST: taken again meanwhile
    ScopedProcess h(rig.proc, pid, kReadAccess);
    std::string path;
    if (!rig.proc.ModulePath(h.get(), path) || path != newer_exe) ++old_answers;
    return rig.proc.StartTime(h.get()) != old_start;
  }));
  if (newer.pid() == 0) GTEST_SKIP() << "cannot choose a child's PID here";
  EXPECT_EQ(old_answers, 0);
  EXPECT_FALSE(rig.proc.Terminate(old_end, 0));
  rig.proc.Close(old_end);
  EndPro(rig.proc, pid, old_start);
  rig.monitor.ListProcess();
  EXPECT_EQ(rig.rows.StartTime(rig.monitor.HaveItem(pid)), old_start);
  rig.monitor.CheckProcess();
  EXPECT_EQ(rig.monitor.HaveItem(pid), 0);
  ASSERT_NE(rig.RowAfterPass(pid), 0);
  EXPECT_EQ(rig.Cell(pid, cell::kPath), newer_exe);
  EXPECT_NE(rig.rows.StartTime(rig.monitor.HaveItem(pid)), old_start);
  EXPECT_TRUE(NotKilled(pid));
}

// Another user's process: counted by the refresh, but it has no row, as a
// protected process has none on Windows.  The check runs in a child that
// gives up root for 'nobody'.
TEST_P(ProcessControlTest, AnotherUsersProcessIsCountedWithoutARow) {
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
