// The priority classes over Linux scheduling.  Reading: the policy and
// nice value of the process's main thread name a class (realtime policies are
// "realtime", SCHED_IDLE is "idle", otherwise the nice value decides in
// bands).  Setting: nice is per thread on Linux, so a class is applied to
// every thread in /proc/PID/task; every class but realtime also takes a
// realtime or idle thread back to SCHED_OTHER.
#pragma once

#include "platform/process_source.h"

namespace kelvar::procfs {

// The class of one thread, read live; unknown when it cannot be read.
Priority ReadClass(Pid tid);

// Sets the class on every thread of `pid`.  False for an unknown class, when
// the process has no thread left, or when any thread refuses.
bool ApplyClass(int proc_dir, Pid pid, Priority priority);

}  // namespace kelvar::procfs
