// The core's own cost: one refresh pass and one sweep over a light fake
// process table (direct indexing, no call log) so that the figures measure
// the row store, the pass and the sweep rather than the fake.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "fake/fake_controls.h"
#include "fake/fake_system.h"
#include "monitor/process_monitor.h"

namespace kelvar {
namespace {

class LightTable : public ProcessSource {
 public:
  struct Proc {
    std::string path;
    std::uint64_t ws = 4u << 20, start = 1;
    bool alive = true, running = true;
  };
  std::vector<Proc> procs;  // index = PID / 4
  explicit LightTable(int n) {
    for (int i = 0; i < n; ++i)
      procs.push_back({"C:\\Program Files\\Vendor\\app" + std::to_string(i) + ".exe"});
  }
  bool Snapshot(std::vector<Pid>& pids) override {
    pids.clear();
    for (std::size_t i = 0; i < procs.size(); ++i)
      if (procs[i].alive) pids.push_back(static_cast<Pid>(i * 4));
    return true;
  }
  Proc* P(Pid pid) {
    auto i = static_cast<std::size_t>(pid / 4);
    return i < procs.size() && procs[i].alive ? &procs[i] : nullptr;
  }
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override {
    Proc* p = P(pid);
    if (!p) return false;
    record.id = {pid, p->start};
    record.working_set = p->ws;
    record.priority = Priority::kNormal;
    if (with_image) record.path = p->path;
    return true;
  }
  Liveness Look(const ProcessId& process, FileIdentity&, LookDepth) override {
    Proc* p = P(process.pid);
    return p && p->running && SameProcess(process, p->start) ? Liveness::kRunning : Liveness::kGone;
  }
  bool End(const ProcessId&) override { return false; }
  bool SetPriority(const ProcessId&, Priority) override { return false; }
};

struct Bench {
  LightTable table;
  fake::FakeFiles files;
  fake::FakeDirectories dirs;
  fake::FakeProfile profile;
  fake::FakeIcons icons;
  fake::FakeImageList images;
  RowStore rows;
  ProcessMonitor monitor{rows, MonitorPorts{table, files, dirs, profile, icons, images}};
  explicit Bench(int n) : table(n) { monitor.Refresh(); }
};

void RefreshSteady(benchmark::State& state) {
  Bench b(static_cast<int>(state.range(0)));
  for (auto _ : state) b.monitor.Refresh();
  // Seconds per row, shown with its SI prefix (n, u).
  state.counters["per_row"] =
      benchmark::Counter(static_cast<double>(state.range(0)),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(RefreshSteady)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A pass measured after `change` has altered a tenth of the processes (a
// different tenth each round), untimed.
template <typename Change>
void RefreshAfter(benchmark::State& state, Change change) {
  auto n = static_cast<std::size_t>(state.range(0));
  Bench b(static_cast<int>(n));
  std::uint64_t round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    for (std::size_t i = round % 10; i < n; i += 10) change(b.table.procs[i]);
    change.After(b);
    state.ResumeTiming();
    b.monitor.Refresh();
  }
}

// Every pass, a tenth of the processes show another memory figure.
struct MemoryChanged {
  void operator()(LightTable::Proc& p) const { p.ws += 1 << 20; }
  void After(Bench&) const {}
};
void RefreshTenthMemoryChanged(benchmark::State& state) { RefreshAfter(state, MemoryChanged{}); }
BENCHMARK(RefreshTenthMemoryChanged)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Every pass, a tenth of the processes are new ones that took old PIDs; the
// sweep clears their old rows before the pass that is measured.
struct Replaced {
  void operator()(LightTable::Proc& p) const { p.start += 1; }
  void After(Bench& b) const { b.monitor.Sweep(); }
};
void RefreshTenthReplaced(benchmark::State& state) { RefreshAfter(state, Replaced{}); }
BENCHMARK(RefreshTenthReplaced)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void SweepNone(benchmark::State& state) {
  Bench b(10000);
  for (auto _ : state) b.monitor.Sweep();
}
BENCHMARK(SweepNone)->Unit(benchmark::kMicrosecond);

// 1,000 of 10,000 processes ended: the sweep removes their rows.
void SweepRemovingThousand(benchmark::State& state) {
  Bench b(10000);
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < b.table.procs.size(); ++i) b.table.procs[i].running = true;
    b.monitor.Refresh();
    for (std::size_t i = 5; i < b.table.procs.size(); i += 10) b.table.procs[i].running = false;
    state.ResumeTiming();
    b.monitor.Sweep();
  }
}
BENCHMARK(SweepRemovingThousand)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelvar

BENCHMARK_MAIN();
