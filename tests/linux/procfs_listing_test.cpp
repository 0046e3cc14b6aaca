// The listing of /proc between whole reads: on a scripted kernel, what each
// pass asks after and when it reads the whole directory; in a PID namespace
// of its own, a counter gone round a whole cycle between two passes.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/utsname.h>

#include <algorithm>

#include "platform/linux/process_listing.h"
#include "support/test_support.h"

namespace kelvar::test {
namespace {

using Kind = procfs::ListingProbe::Kind;
using Counters = procfs::ListingProbe::Counters;
using enum Kind;

// A kernel whose counters, PIDs and directory the test sets; PIDs not named
// are free.
struct ScriptedProbe : procfs::ListingProbe {
  Counters counters;
  std::map<Pid, Kind> kinds;
  std::set<Pid> asked;
  int whole_reads = 0;

  Counters Read() override { return counters; }
  Kind KindOf(Pid pid) override { return asked.insert(pid), kinds.contains(pid) ? kinds.at(pid) : kFree; }
  void ReadDirectory(std::vector<Pid>& pids) override {
    ++whole_reads;
    for (const auto& [pid, kind] : kinds)
      if (kind == kLeader) pids.push_back(pid);
  }
};

std::set<Pid> Range(Pid first, Pid last, std::set<Pid> pids = {}) {
  for (Pid pid = first; pid <= last; ++pid) pids.insert(pid);
  return pids;
}

Counters At(long forks, long last, long tasks = 50) { return {forks, tasks, last, 1000}; }

// A pass: the counters and the PIDs it meets, then every PID it asks after,
// whether it reads the whole directory, and what it lists.
using Step = std::tuple<Counters, std::map<Pid, Kind>, std::set<Pid>, bool, std::vector<Pid>>;

// Each case starts with a whole read and a quiet pass at its first counters
// (pid_max 1,000), with leaders 1 and 7, every listed PID known to run.
TEST(ListingTest, AsksWhatWasHandedOutAndReadsWholeWhenItCannotProve) {
  const std::tuple<const char*, Counters, std::vector<Step>> cases[] = {
      {"a fork still forming at one pass is listed at the next",
       At(10000, 400),
       {{At(10003, 403), {{401, kThread}, {402, kForming}}, Range(401, 403), false, {1, 7}},
        {At(10003, 403), {{402, kLeader}}, {402}, false, {1, 7, 402}},
        {At(10003, 403), {}, {}, false, {1, 7, 402}}}},
      {"past pid_max the counter starts again at 300",
       At(10000, 990),
       {{At(10015, 305),
         {{303, kLeader}, {5, kLeader}},
         Range(991, 999, Range(300, 305)),
         false,
         {1, 7, 303}}}},
      {"below 300 it starts again at 1",
       At(10000, 150),
       {{At(10010, 20), {{5, kLeader}}, Range(151, 999, Range(1, 20)), false, {1, 5, 7}}}},
      {"more forks than prove that the counter did not go round a whole cycle",
       At(10000, 400),
       {{At(10160, 410), {{405, kLeader}, {900, kLeader}}, {}, true, {1, 7, 405, 900}}}},
      {"tasks that might fill the cycle", At(10000, 400, 250), {{At(10001, 401), {}, {}, true, {1, 7}}}},
      {"a counter set back by hand",
       At(10000, 400),
       {{At(10001, 250), {{250, kLeader}}, {}, true, {1, 7, 250}}}}};
  for (const auto& [what, start, steps] : cases) {
    auto owned = std::make_unique<ScriptedProbe>();
    ScriptedProbe& probe = *owned;
    probe.counters = start;
    probe.kinds = {{1, kLeader}, {7, kLeader}};
    procfs::ProcessListing listing(std::move(owned));
    std::vector<Pid> pids;
    for (int quiet = 0; quiet < 2; ++quiet) listing.List(pids, [](Pid) { return true; });
    for (std::size_t pass = 0; pass < steps.size(); ++pass) {
      const auto& [counters, kinds, asked, whole, listed] = steps[pass];
      probe.counters = counters;
      for (const auto& [pid, kind] : kinds) probe.kinds[pid] = kind;
      probe.asked.clear();
      const int whole_before = probe.whole_reads;
      listing.List(pids, [](Pid) { return true; });
      SCOPED_TRACE(what + std::string(", pass ") + std::to_string(pass + 1));
      EXPECT_EQ(probe.whole_reads > whole_before, whole);
      EXPECT_EQ(probe.asked, whole ? probe.asked : asked);  // a whole read may ask anything
      EXPECT_EQ(pids, listed);
    }
  }
}

long LastPid() {  // the last PID handed out in this namespace, or -1
  long last = -1;
  std::ifstream("/proc/sys/kernel/ns_last_pid") >> last;
  return last;
}

bool ForkAndReap() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  return pid > 0 && ::waitpid(pid, nullptr, 0) == pid;
}

// As the first process of a PID namespace with /proc of its own and a
// pid_max of 1,000: the counter passes 400, the listing reads /proc, a child
// is forked after 20 others, and the counter goes round until it stands just
// past 400 again.  The next pass must list the child.
int ListAfterAWholeCycle() {
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("proc", "/proc", "proc", 0, nullptr) != 0)
    return 10;
  if (!(std::ofstream("/proc/sys/kernel/pid_max") << "1000").flush()) return 11;
  while (LastPid() < 400)
    if (!ForkAndReap()) return 12;
  const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
  procfs::ProcessListing listing(procfs::ProcListingProbe(proc.get()));
  std::vector<Pid> pids;
  listing.List(pids, [](Pid) { return false; });
  const long start = LastPid();
  for (int i = 0; i < 20; ++i) ForkAndReap();
  const pid_t child = ::fork();
  if (child == 0) ::_exit(::pause());  // waits to be killed
  bool wrapped = false;
  for (long before = LastPid(), last = before; !wrapped || last < start + 5; before = last) {
    if (!ForkAndReap()) return 13;
    last = LastPid();
    wrapped = wrapped || last < before;
  }
  listing.List(pids, [](Pid) { return false; });
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return std::ranges::binary_search(pids, child) ? 0 : 1;
}

TEST(ListingTest, ACounterGoneRoundAWholeCycleMissesNoProcess) {
  utsname name{};
  int major = 0, minor = 0;
  if (::geteuid() != 0) GTEST_SKIP() << "a PID namespace of its own needs root";
  if (::uname(&name) != 0 || std::sscanf(name.release, "%d.%d", &major, &minor) != 2 ||
      std::pair(major, minor) < std::pair(6, 14))
    GTEST_SKIP() << "pid_max is set per PID namespace from Linux 6.14 on";
  ExpectInChild([] {
    if (::unshare(CLONE_NEWPID | CLONE_NEWNS) != 0) return 100;
    const pid_t first = ::fork();
    if (first == 0) ::_exit(ListAfterAWholeCycle());
    int status = -1;
    return ::waitpid(first, &status, 0) == first && WIFEXITED(status) ? WEXITSTATUS(status) : 101;
  });
}

}  // namespace
}  // namespace kelvar::test
