#!/usr/bin/env bash
# The benchmarks and the figures the project tracks: the core on the fake
# system, then (where their scripts exist) the Linux adapters on real /proc
# against the procfs floor, and the running program beside its peers.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVAR_QT=ON -DKELVAR_TESTS=OFF -DKELVAR_BENCH=ON >/dev/null
cmake --build build-bench -j "$jobs"

printf '\n=== core: refresh pass and sweep on the fake system ===\n'
printf 'targets: RefreshSteady/10000 per_row <= 0.5 us; time(10000)/time(1000) <= 12; sweeps <= 5 ms\n'
build-bench/bench/kelvar_core_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

if [ -x scripts/bench-linux.sh ]; then scripts/bench-linux.sh build-bench; fi
if [ -x scripts/bench-program.sh ]; then scripts/bench-program.sh build-bench; fi
# The large tables: 10,000 processes, and 3,000 under a low descriptor limit,
# one round (BENCH_SCALE_ROUNDS); BENCH_OLD=DIR runs an older build beside
# this one, BENCH_SCALE=0 leaves them out.
if [ "${BENCH_SCALE:-1}" != 0 ] && [ -x scripts/bench-scale.sh ]; then scripts/bench-scale.sh build-bench; fi
# The Windows figures need the Wine prefix that the Windows tests make.
if [ -f build-wine/prefix/system.reg ]; then
  scripts/bench-windows.sh
else
  echo "bench: Windows figures skipped: no Wine prefix yet (make test, or scripts/windows.sh --test, makes it)"
fi
