// The Windows refresh pass over the real adapters and image list, timed the
// way bench/win32_floor.c times its variants, so the two lines compare:
//   win32_pass_bench.exe N   (one warm-up pass, then N timed passes)
// prints "kelvar seen P us/pass X us/process Y", then as many sweeps over the
// rows timed the same way ("kelvar sweep ... us/row Z").  The warm-up pass
// meets every process once; the timed ones are the steady passes the program
// runs five times a second.  Google Benchmark has no Windows build here, so this
// keeps to QueryPerformanceCounter.
#include "platform/win32/win32_api.h"

#include <cstdio>
#include <cstdlib>

#include "monitor/process_monitor.h"
#include "platform/win32/icons_win32.h"
#include "platform/win32/win32_system.h"

int wmain(int argc, wchar_t** argv) {
  using namespace kelvar;
  using namespace kelvar::win32;
  const int passes = argc > 1 ? _wtoi(argv[1]) : 50;
  Win32ImageList images;
  Win32System system;
  RowStore rows;
  ProcessMonitor monitor(
      rows, MonitorPorts{system.processes, system.files, system.dirs, system.profile, system.icons, images});
  monitor.Refresh();
  LARGE_INTEGER freq, start, end;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < passes; ++i) monitor.Refresh();
  QueryPerformanceCounter(&end);
  const double us = 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(freq.QuadPart) / (passes > 0 ? passes : 1);
  const auto seen = static_cast<double>(monitor.Totals().processes);
  std::printf("kelvar seen %lld rows %d us/pass %.1f us/process %.2f\n",
              static_cast<long long>(monitor.Totals().processes), rows.Count(), us,
              seen > 0 ? us / seen : 0.0);
  // The sweep, as often, over the rows the passes made.
  const int rows_swept = rows.Count();
  QueryPerformanceCounter(&start);
  for (int i = 0; i < passes; ++i) monitor.Sweep();
  QueryPerformanceCounter(&end);
  const double sweep_us = 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(freq.QuadPart) / (passes > 0 ? passes : 1);
  std::printf("kelvar sweep rows %d us/sweep %.1f us/row %.2f\n", rows_swept, sweep_us,
              rows_swept > 0 ? sweep_us / rows_swept : 0.0);
  return 0;
}
