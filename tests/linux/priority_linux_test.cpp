// Priority classes on real processes: a class set by other means is read
// back by its band, and every class the program sets reaches every thread.
// Raising a priority needs root; without it those cases are skipped.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include "actions/priority.h"
#include "platform/linux/procfs_priority.h"
#include "test_support.h"

namespace kelvar::test {
namespace {

class PriorityLinuxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    child_ = Child::Spawn(KELVAR_THREADS_CHILD, {"3"});
    ASSERT_GT(child_.pid(), 0);
    ASSERT_TRUE(WaitUntil([&] { return ThreadsOf(child_.pid()).size() == 4; }));
  }

  Child child_;
  ProcfsProcessControl proc_;
};

// Settings made on the main thread from outside, as renice and chrt make them.
TEST_F(PriorityLinuxTest, ClassSetByOtherMeansIsReadBack) {
  const struct {
    int policy;
    int nice;
    const char* name;
  } cases[] = {
      {SCHED_OTHER, 0, "标准"},   {SCHED_OTHER, 1, "较低"},   {SCHED_OTHER, 10, "较低"},
      {SCHED_OTHER, 11, "低"},    {SCHED_OTHER, 19, "低"},    {SCHED_BATCH, 0, "标准"},
      {SCHED_IDLE, 0, "低"},      {SCHED_OTHER, -1, "较高"},  {SCHED_OTHER, -10, "较高"},
      {SCHED_OTHER, -11, "高"},   {SCHED_OTHER, -20, "高"},   {SCHED_FIFO, 0, "实时"},
      {SCHED_RR, 0, "实时"},
  };
  const pid_t pid = child_.pid();
  for (const auto& c : cases) {
    sched_param param{};
    param.sched_priority = (c.policy == SCHED_FIFO || c.policy == SCHED_RR) ? 1 : 0;
    if (::sched_setscheduler(pid, c.policy, &param) != 0 || ::setpriority(PRIO_PROCESS, pid, c.nice) != 0) {
      if (!IsRoot()) continue;  // raising needs root
      FAIL() << "cannot set policy " << c.policy << " nice " << c.nice;
    }
    EXPECT_EQ(GetProClass(proc_, pid), c.name) << c.policy << " " << c.nice;
  }
}

TEST_F(PriorityLinuxTest, EveryClassReachesEveryThread) {
  const pid_t pid = child_.pid();
  // Through realtime and idle and back, so each leaves a policy to undo.
  const std::uint32_t order[] = {0x4000, 0x40, 0x100, 0x20, 0x8000, 0x80, 0x100, 0x40, 0x20};
  for (std::uint32_t cls : order) {
    const bool raising = cls == 0x100 || cls == 0x80 || cls == 0x8000 || cls == 0x20;
    if (raising && !IsRoot()) continue;
    ASSERT_EQ(SetProClass(proc_, pid, cls), 1u) << std::hex << cls;
    EXPECT_EQ(GetProClass(proc_, pid), PriorityName(cls));
    for (pid_t tid : ThreadsOf(pid)) EXPECT_EQ(procfs::ReadClass(tid), cls) << std::hex << cls << " " << tid;
  }
  if (IsRoot()) {
    // A thread put in SCHED_IDLE from outside is taken back to SCHED_OTHER.
    sched_param none{};
    const pid_t tid = ThreadsOf(pid).back();
    ASSERT_EQ(::sched_setscheduler(tid, SCHED_IDLE, &none), 0);
    ASSERT_EQ(SetProClass(proc_, pid, 0x4000), 1u);
    EXPECT_EQ(::sched_getscheduler(tid), SCHED_OTHER);
  }
  EXPECT_EQ(proc_.OpenHandles(), 0);
}

TEST_F(PriorityLinuxTest, SettingFails) {
  EXPECT_EQ(SetProClass(proc_, child_.pid(), 0x1234), 0u);  // no such class
  EXPECT_EQ(SetProClass(proc_, child_.pid(), 0), 0u);
  EXPECT_EQ(SetProClass(proc_, 0x3FFFFFFF, 0x20), 0u);  // no such process
  EXPECT_EQ(GetProClass(proc_, 0x3FFFFFFF), "");
  EXPECT_EQ(GetProClass(proc_, child_.pid()), "标准");
}

}  // namespace
}  // namespace kelvar::test
