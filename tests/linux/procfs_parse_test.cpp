// The parsers and tables behind the process control: stat lines whose
// command name would fool a naive split, and the class bands of nice values.
#include <gtest/gtest.h>
#include <sched.h>

#include <string>

#include "platform/linux/procfs_priority.h"
#include "platform/linux/procfs_stat.h"

namespace kelvar::procfs {
namespace {

// Fields 4..52 after "<pid> (<comm>) <state>", with start time (22) = 4242
// between fields that look like it: nice (19) = -5, rss (24) = 77.
std::string Tail() {
  std::string t;
  for (int field = 4; field <= 52; ++field) {
    std::string v = "1";
    if (field == 19) v = "-5";
    if (field == 21) v = "4241";
    if (field == 22) v = "4242";
    if (field == 23) v = "4243";
    if (field == 24) v = "77";
    t += " " + v;
  }
  return t + "\n";
}

TEST(ProcStatTest, FieldsCountFromTheLastParenthesis) {
  const std::string names[] = {"sleep", "a b c", "x) S 9 9 (y", "new\nline", ")", "((", ") R 1 2 3 4 5 6 7"};
  for (const std::string& comm : names) {
    ProcStat s;
    ASSERT_TRUE(ParseStat("123 (" + comm + ") S" + Tail(), s)) << comm;
    EXPECT_EQ(s.state, 'S') << comm;
    EXPECT_EQ(s.start_time, 4242u) << comm;
  }
}

TEST(ProcStatTest, RejectsBrokenLines) {
  const std::string tail = Tail();
  const std::string lines[] = {"", "123 sleep S" + tail, "123 (sleep)S" + tail, "123 (sleep) SS" + tail,
                               "123 (sleep) S 1 2 3",  // cut short
                               "123 (sleep) S" + tail.substr(0, tail.find(" 4242")) + " x" +
                                   tail.substr(tail.find(" 4242") + 5)};
  for (const std::string& line : lines) {
    ProcStat s;
    EXPECT_FALSE(ParseStat(line, s)) << line;
  }
}

TEST(ProcStatTest, StatmResidentIsTheSecondField) {
  std::uint64_t pages = 0;
  ASSERT_TRUE(ParseStatmResident("5000 321 100 10 0 200 0\n", pages));
  EXPECT_EQ(pages, 321u);
  EXPECT_FALSE(ParseStatmResident("5000\n", pages));
  EXPECT_FALSE(ParseStatmResident("", pages));
}

TEST(PriorityClassTest, NiceBandsAndPolicies) {
  using namespace priority_class;
  const struct {
    unsigned policy;
    long nice;
    std::uint32_t cls;
  } cases[] = {
      {SCHED_OTHER, -20, kHigh},   {SCHED_OTHER, -11, kHigh},        {SCHED_OTHER, -10, kAboveNormal},
      {SCHED_OTHER, -1, kAboveNormal}, {SCHED_OTHER, 0, kNormal},    {SCHED_OTHER, 1, kBelowNormal},
      {SCHED_OTHER, 10, kBelowNormal}, {SCHED_OTHER, 11, kIdle},     {SCHED_OTHER, 19, kIdle},
      {SCHED_BATCH, 0, kNormal},   {SCHED_IDLE, 0, kIdle},           {SCHED_IDLE, -20, kIdle},
      {SCHED_FIFO, 0, kRealtime},  {SCHED_RR, 19, kRealtime},        {6 /* deadline */, 0, kRealtime},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassOf(c.policy, c.nice), c.cls) << c.policy << " " << c.nice;
  // Every class read back from the way it is set.
  for (std::uint32_t cls : {kRealtime, kHigh, kAboveNormal, kNormal, kBelowNormal, kIdle}) {
    auto set = SettingOf(cls);
    ASSERT_TRUE(set);
    EXPECT_EQ(ClassOf(set->realtime ? SCHED_RR : SCHED_OTHER, set->nice), cls);
  }
  EXPECT_FALSE(SettingOf(0));
  EXPECT_FALSE(SettingOf(0x1234));
}

}  // namespace
}  // namespace kelvar::procfs
