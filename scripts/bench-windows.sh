#!/usr/bin/env bash
# The Windows program's figures under Wine, with extra sleeping processes in
# the table (50 unless BENCH_EXTRA says otherwise, BENCH_UNREADABLE of them,
# 10 unless said otherwise, refusing to be opened for reading):
#  - the refresh pass per process over the real adapters, beside the floor
#    it is measured against (bench/win32_floor.c, variants held and modules);
#  - KelvarPM.exe's CPU at its own 200/500 ms timers over BENCH_SECONDS
#    (20), and wineserver's over the same time;
#  - the time from starting the exe to its first full window.
# Each build whose programs this machine can run is measured; the other is
# named and skipped (scripts/wine-probe.sh).
# Usage: scripts/bench-windows.sh [ARCH...]   (default: x86_64)
# BENCH_BUILD=DIR measures the programs already built in DIR instead (an
# older checkout's, say, for a side-by-side figure); the sleeping processes
# always come from this checkout's build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/wine-probe.sh
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(x86_64)
extra=${BENCH_EXTRA:-50}
unreadable=${BENCH_UNREADABLE:-10}
seconds=${BENCH_SECONDS:-20}
hz=$(getconf CLK_TCK)

if [ "${1:-}" != --under-display ]; then
  for arch in "${arches[@]}"; do
    if ! why=$(probe_loader "$arch"); then
      echo "bench-windows: $arch skipped: $why"
      continue
    fi
    dir=build-win32-$arch-bench
    cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DKELVAR_TESTS=OFF -DKELVAR_BENCH=ON >/dev/null
    cmake --build "$dir" -j 2 >"$dir.log" 2>&1 || {
      tail -n 20 "$dir.log" >&2
      echo "bench-windows: the $arch build failed; read $dir.log" >&2
      exit 1
    }
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --under-display "$arch" "${BENCH_EXE:-}"
  done
  exit 0
fi

arch=$2
exe=${3:-}
dir=${BENCH_BUILD:-$root/build-win32-$arch-bench}
[ -n "$exe" ] || exe=$dir/src/platform/win32/KelvarPM.exe
loader=$(probe_loader_of "$arch")
export WINEPREFIX=$root/build-wine/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_DATA_HOME=$root/build-wine/xdg LC_ALL=zh_CN.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "bench-windows: skipped: no Wine prefix yet (scripts/windows.sh --test makes it)"
  exit 0
fi
sleepers=()
cleanup() {
  for p in "${sleepers[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
wineserver -p >/dev/null 2>&1
"$(probe_loader_of x86_64)" wineboot >/dev/null 2>&1 </dev/null
for i in $(seq "$extra"); do
  mode=$([ "$i" -le "$unreadable" ] && echo deny || true)
  "$loader" "$root/build-win32-$arch-bench/bench/win32_sleeper.exe" $mode >/dev/null 2>&1 </dev/null &
  sleepers+=($!)
done
sleep 5
printf '\n=== Windows %s under Wine, %d extra sleeping processes, %d of them unreadable ===\n' \
  "$arch" "$extra" "$((unreadable < extra ? unreadable : extra))"
"$loader" "$dir/bench/win32_floor.exe" modules 20 2>/dev/null | tr -d '\r'
"$loader" "$dir/bench/win32_floor.exe" held 200 2>/dev/null | tr -d '\r'
"$loader" "$dir/bench/win32_pass_bench.exe" 200 2>/dev/null | tr -d '\r'

ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
start=$(date +%s%N)
"$loader" "$exe" >/dev/null 2>&1 </dev/null &
prog=$!
for _ in $(seq 400); do
  xdotool search --onlyvisible --name 'Kelvar' >/dev/null 2>&1 && break
  sleep 0.02
done
printf 'start to first full window: %d ms\n' $((($(date +%s%N) - start) / 1000000))
sleep 3
# This prefix's own wineserver: other prefixes may run theirs beside it.
server=$(for p in $(pgrep -x wineserver64; pgrep -x wineserver); do
  tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
done | head -n 1)
p0=$(ticks "$prog") s0=$(ticks "$server")
sleep "$seconds"
p1=$(ticks "$prog") s1=$(ticks "$server")
awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$seconds" 'BEGIN {
  printf "KelvarPM.exe CPU: %.1f %% of one core; wineserver: %.1f %% (over %d s)\n", 100 * p / hz / t, 100 * s / hz / t, t }'
