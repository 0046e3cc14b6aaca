// Windows priority classes over Linux scheduling.  Reading: the policy and
// nice value of the process's main thread name a class (realtime policies are
// "realtime", SCHED_IDLE is "idle", otherwise the nice value decides in
// bands).  Setting: nice is per thread on Linux, so a class is applied to
// every thread in /proc/PID/task; every class but realtime also takes a
// realtime or idle thread back to SCHED_OTHER.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/process_control.h"

namespace kelvar::procfs {

namespace priority_class {
inline constexpr std::uint32_t kRealtime = 0x0100;
inline constexpr std::uint32_t kHigh = 0x0080;
inline constexpr std::uint32_t kAboveNormal = 0x8000;
inline constexpr std::uint32_t kNormal = 0x0020;
inline constexpr std::uint32_t kBelowNormal = 0x4000;
inline constexpr std::uint32_t kIdle = 0x0040;
}  // namespace priority_class

// The class of a thread with scheduling `policy` (SCHED_*) and `nice`.
std::uint32_t ClassOf(unsigned policy, long nice);

// How a class is set: SCHED_RR priority 1 for realtime, else SCHED_OTHER (or
// the thread's own SCHED_BATCH) with this nice value.
struct ClassSetting {
  bool realtime = false;
  int nice = 0;
};
std::optional<ClassSetting> SettingOf(std::uint32_t priority_class);

// The class of one thread, read live; 0 when it cannot be read.
std::uint32_t ReadClass(Pid tid);

// Sets the class on every thread of `pid`.  False for an unknown class, when
// the process has no thread left, or when any thread refuses.
bool ApplyClass(int proc_dir, Pid pid, std::uint32_t priority_class);

}  // namespace kelvar::procfs
