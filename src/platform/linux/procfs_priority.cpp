// Priority classes over Linux scheduling; see procfs_priority.h.
#include "platform/linux/procfs_priority.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/linux/proc_path.h"

namespace kelvar::procfs {
namespace {

constexpr unsigned kSchedDeadline = 6;  // not in every libc's headers
constexpr int kResetOnFork = 0x40000000;

bool IsRealtimePolicy(unsigned policy) {
  return policy == SCHED_FIFO || policy == SCHED_RR || policy == kSchedDeadline;
}

// How a class is set: SCHED_RR priority 1 for realtime, else SCHED_OTHER (or
// the thread's own SCHED_BATCH) with this nice value.
struct ClassSetting {
  bool realtime = false;
  int nice = 0;
};

Priority ClassOf(unsigned policy, long nice) {
  if (IsRealtimePolicy(policy)) return Priority::kRealtime;
  if (policy == SCHED_IDLE) return Priority::kIdle;
  if (nice <= -11) return Priority::kHigh;
  if (nice <= -1) return Priority::kAboveNormal;
  if (nice == 0) return Priority::kNormal;
  if (nice <= 10) return Priority::kBelowNormal;
  return Priority::kIdle;
}

std::optional<ClassSetting> SettingOf(Priority priority) {
  constexpr std::pair<Priority, ClassSetting> kSettings[] = {
      {Priority::kRealtime, {true, 0}},      {Priority::kHigh, {false, -15}},
      {Priority::kAboveNormal, {false, -5}}, {Priority::kNormal, {false, 0}},
      {Priority::kBelowNormal, {false, 5}},  {Priority::kIdle, {false, 19}},
  };
  for (const auto& [p, setting] : kSettings)
    if (p == priority) return setting;
  return std::nullopt;
}

// The kernel's struct sched_attr as first published; its own header clashes
// with <sched.h>.
struct SchedAttr {
  std::uint32_t size = sizeof(SchedAttr);
  std::uint32_t policy = 0;
  std::uint64_t flags = 0;
  std::int32_t nice = 0;
  std::uint32_t priority = 0;
  std::uint64_t runtime = 0, deadline = 0, period = 0;
};
static_assert(sizeof(SchedAttr) == 48);

// The thread's policy without the reset-on-fork flag; -1 when it is gone.
int PolicyOf(Pid tid) {
  int policy = ::sched_getscheduler(tid);
  return policy < 0 ? -1 : (policy & ~kResetOnFork);
}

bool HasSetting(Pid tid, const ClassSetting& want) {
  const int policy = PolicyOf(tid);
  if (policy < 0) return false;
  if (want.realtime) {
    sched_param param{};
    return policy == SCHED_RR && ::sched_getparam(tid, &param) == 0 && param.sched_priority == 1;
  }
  if (IsRealtimePolicy(static_cast<unsigned>(policy)) || policy == SCHED_IDLE) return false;
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
  return errno == 0 && nice == want.nice;
}

// 0 when set, else the errno of the call that failed.
int SetThread(Pid tid, const ClassSetting& want) {
  if (want.realtime) {
    sched_param param{};
    param.sched_priority = 1;
    return ::sched_setscheduler(tid, SCHED_RR, &param) == 0 ? 0 : errno;
  }
  const int policy = PolicyOf(tid);
  if (policy < 0) return errno;
  if (IsRealtimePolicy(static_cast<unsigned>(policy)) || policy == SCHED_IDLE) {
    sched_param param{};
    if (::sched_setscheduler(tid, SCHED_OTHER, &param) != 0) return errno;
  }
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), want.nice) == 0 ? 0 : errno;
}

// One walk over the threads; counts those already set and those changed.
// A thread that ends during the walk is passed over.
bool WalkThreads(int proc_dir, Pid pid, const ClassSetting& want, int& present, int& changed) {
  const int fd = ::openat(proc_dir, ProcPath(pid, "task").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (!dir) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  bool ok = true;
  while (const dirent* entry = ::readdir(dir)) {
    Pid tid = 0;
    const char* name = entry->d_name;
    auto [end, ec] = std::from_chars(name, name + std::strlen(name), tid);
    if (ec != std::errc() || *end != '\0' || tid <= 0) continue;
    if (HasSetting(tid, want)) {
      ++present;
      continue;
    }
    const int error = SetThread(tid, want);
    if (error == 0) {
      ++present;
      ++changed;
    } else if (error != ESRCH) {
      ok = false;
      break;
    }
  }
  ::closedir(dir);
  return ok;
}

}  // namespace

// One call gives the policy and, for the policies it decides the class of,
// the nice value: every pass asks every process.
Priority ReadClass(Pid tid) {
  SchedAttr attr;
  if (::syscall(SYS_sched_getattr, tid, &attr, sizeof attr, 0) != 0) return Priority::kUnknown;
  return ClassOf(attr.policy, attr.nice);
}

bool ApplyClass(int proc_dir, Pid pid, Priority priority) {
  const std::optional<ClassSetting> want = SettingOf(priority);
  if (!want || pid <= 0) return false;
  // A thread started during a walk by a thread not yet set inherits the old
  // setting, so walk again until a walk finds nothing to change.
  for (int round = 0; round < 4; ++round) {
    int present = 0, changed = 0;
    if (!WalkThreads(proc_dir, pid, *want, present, changed) || present == 0) return false;
    if (changed == 0) return true;
  }
  return true;
}

}  // namespace kelvar::procfs
