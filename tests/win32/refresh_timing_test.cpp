// For information, not a limit: the cost of one refresh pass and one sweep
// per process under Wine, on rows that already exist (the steady state the
// timers see five and two times a second).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "monitor/process_monitor.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/win32_system.h"

namespace kelvar::win32 {
namespace {

TEST(RefreshTiming, SteadyPassAndSweepPerProcess) {
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
  Win32System system;
  Win32ImageList images;
  Win32StatusBar status(host, 1, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  RowStore rows;
  ProcessMonitor monitor(rows, MonitorPorts{system.proc, system.files, system.dirs, system.profile, system.sizes,
                                            system.icons, images, status});
  monitor.ListProcess();
  std::vector<Pid> pids;
  ASSERT_TRUE(system.proc.Snapshot(pids));
  constexpr int kPasses = 20;
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  for (int i = 0; i < kPasses; ++i) monitor.ListProcess();
  auto pass = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kPasses;
  start = Clock::now();
  for (int i = 0; i < kPasses; ++i) monitor.CheckProcess();
  auto sweep = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kPasses;
  std::printf("refresh pass: %.0f us for %zu processes (%.0f us per process); sweep: %.0f us for %d rows\n", pass,
              pids.size(), pass / static_cast<double>(pids.size()), sweep, rows.Count());
  RecordProperty("pass_us_per_process", static_cast<int>(pass / static_cast<double>(pids.size())));
  DestroyWindow(host);
}

}  // namespace
}  // namespace kelvar::win32
