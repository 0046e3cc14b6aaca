// The Linux program's own cost on the real process table: one refresh pass
// (every row known, as in the steady state), one sweep, and the first pass
// of a program just started (every process met for the first time, every row
// created), through the procfs adapters, with fakes only for the window's
// icons, image list and status bar.  Each reports wall and CPU microseconds
// per process, measured as procfs-floor measures its passes, so
// scripts/bench-linux.sh can set the two side by side.
#include <benchmark/benchmark.h>
#include <time.h>

#include <memory>

#include "fake/fake_system.h"
#include "monitor/process_monitor.h"
#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/procfs_process_source.h"

namespace kelvar {
namespace {

struct LinuxRig {
  ProcfsProcessSource proc;
  LinuxFileSearch files;
  LinuxDirectories dirs;
  LinuxProfileReader profile;
  fake::FakeIcons icons;
  fake::FakeImageList images;
  RowStore rows;
  ProcessMonitor monitor{rows, MonitorPorts{proc, files, dirs, profile, icons, images}};
};

double Micros(clockid_t clock) {
  timespec t;
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

void Report(benchmark::State& state, double processes, double wall, double cpu) {
  if (processes == 0) return;
  state.counters["procs"] = processes / static_cast<double>(state.iterations());
  state.counters["wall_us_per_proc"] = wall / processes;
  state.counters["cpu_us_per_proc"] = cpu / processes;
}

// Runs `step` once per iteration; `count` tells how many processes it covered.
template <typename Step, typename Count>
void PerProcess(benchmark::State& state, Step step, Count count) {
  double processes = 0;
  const double wall0 = Micros(CLOCK_MONOTONIC), cpu0 = Micros(CLOCK_PROCESS_CPUTIME_ID);
  for (auto _ : state) {
    processes += static_cast<double>(count());
    step();
  }
  Report(state, processes, Micros(CLOCK_MONOTONIC) - wall0, Micros(CLOCK_PROCESS_CPUTIME_ID) - cpu0);
}

// Open(0x410), path, start time, working set, class, close: per process.
void BM_LinuxRefreshPass(benchmark::State& state) {
  LinuxRig rig;
  rig.monitor.Refresh();  // every row created: the passes below know them all
  rig.monitor.Refresh();
  PerProcess(
      state, [&] { rig.monitor.Refresh(); }, [&] { return rig.monitor.Totals().processes; });
}
BENCHMARK(BM_LinuxRefreshPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// Open(0x410), exit code, start time, close: per row.
void BM_LinuxSweep(benchmark::State& state) {
  LinuxRig rig;
  rig.monitor.Refresh();
  PerProcess(
      state, [&] { rig.monitor.Sweep(); }, [&] { return rig.rows.Count(); });
}
BENCHMARK(BM_LinuxSweep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first pass: each process met and its row made.  Only the pass is
// timed, not the making and closing of the adapters around it.
void BM_LinuxFirstPass(benchmark::State& state) {
  double processes = 0, wall = 0, cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto rig = std::make_unique<LinuxRig>();
    state.ResumeTiming();
    const double wall0 = Micros(CLOCK_MONOTONIC), cpu0 = Micros(CLOCK_PROCESS_CPUTIME_ID);
    rig->monitor.Refresh();
    wall += Micros(CLOCK_MONOTONIC) - wall0;
    cpu += Micros(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    processes += static_cast<double>(rig->monitor.Totals().processes);
    state.PauseTiming();
    rig.reset();
    state.ResumeTiming();
  }
  Report(state, processes, wall, cpu);
}
BENCHMARK(BM_LinuxFirstPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvar

BENCHMARK_MAIN();
