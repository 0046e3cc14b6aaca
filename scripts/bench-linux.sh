#!/usr/bin/env bash
# The Linux adapters against the procfs floor, on a process table of about a
# thousand processes: ~1,000 `sleep`s are started in a session of their own
# (killed as a group on every way out), then procfs-floor (bench/procfs_floor.c,
# the least a pass could cost) and kelvar_linux_bench are measured in turns,
# several rounds, and the best figure of each is compared:
#   refresh pass per process <= 1.15 x `procfs-floor prio`
#   sweep per process        <= 1.15 x `procfs-floor lean`
# The first pass (every process met for the first time) is shown beside them.
# Usage: scripts/bench-linux.sh [BUILD_DIR]   (a configured build with
# KELVAR_BENCH=ON; without one, build-bench-linux is configured here).
# KELVAR_BENCH_SLEEPERS and KELVAR_BENCH_ROUNDS change the load and rounds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench-linux}
sleepers=${KELVAR_BENCH_SLEEPERS:-1000}
rounds=${KELVAR_BENCH_ROUNDS:-3}
floor_src=bench/procfs_floor.c

if [ $# -eq 0 ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVAR_QT=OFF -DKELVAR_TESTS=OFF \
    -DKELVAR_BENCH=ON >/dev/null
fi
cmake --build "$build" --target kelvar_linux_bench -j "$(nproc)" >/dev/null
bench="$build/bench/kelvar_linux_bench"

floor=""
if [ -f "$floor_src" ]; then
  floor="$build/procfs-floor"
  cc -O2 -Wall -o "$floor" "$floor_src"
else
  echo "note: $floor_src is missing: the ratios against the procfs floor are skipped"
fi

pgid_file=$(mktemp)
cleanup() {
  if [ -s "$pgid_file" ]; then kill -KILL -- "-$(cat "$pgid_file")" 2>/dev/null || true; fi
  rm -f "$pgid_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# $$ of the shell setsid starts is the id of the new session and its group.
setsid bash -c 'echo $$ >"$1"; for ((i = 0; i < $2; i++)); do sleep 900 & done; wait' _ \
  "$pgid_file" "$sleepers" </dev/null >/dev/null 2>&1 &
disown  # its end is the trap's business; no job notice
for ((waited = 0; waited < 600; waited++)); do
  if [ -s "$pgid_file" ] && [ "$(pgrep -c -g "$(cat "$pgid_file")" || true)" -gt "$sleepers" ]; then break; fi
  sleep 0.1
done
echo "processes in /proc: $(ls /proc | grep -c '^[0-9]') (with $sleepers sleepers)"

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
floor_field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }
bench_field() {  # bench_field NAME COUNTER < json
  awk -v name="\"$1" -v key="\"$2\":" '
    index($0, "\"name\": " name) { inside = 1 }
    inside && index($0, key) { gsub(/[ ,]/, "", $2); print $2 + 0; exit }'
}

declare -A best
for ((round = 1; round <= rounds; round++)); do
  if [ -n "$floor" ]; then
    for variant in prio lean; do
      out=$("$floor" "$variant" 100)
      best[${variant}_wall]=$(min "${best[${variant}_wall]:-}" "$(floor_field 'wall_us\/proc' <<<"$out")")
      best[${variant}_cpu]=$(min "${best[${variant}_cpu]:-}" "$(floor_field 'cpu_us\/proc' <<<"$out")")
    done
  fi
  json=$("$bench" --benchmark_format=json --benchmark_min_time=2 2>/dev/null)
  for b in pass:BM_LinuxRefreshPass sweep:BM_LinuxSweep first:BM_LinuxFirstPass; do
    key=${b%%:*} name=${b#*:}
    best[${key}_wall]=$(min "${best[${key}_wall]:-}" "$(bench_field "$name" wall_us_per_proc <<<"$json")")
    best[${key}_cpu]=$(min "${best[${key}_cpu]:-}" "$(bench_field "$name" cpu_us_per_proc <<<"$json")")
    best[${key}_procs]=$(bench_field "$name" procs <<<"$json")
  done
done

printf '\nbest of %d rounds, microseconds per process (wall / cpu)\n' "$rounds"
printf '  refresh pass  %6.2f / %6.2f   (%.0f processes a pass)\n' "${best[pass_wall]}" "${best[pass_cpu]}" "${best[pass_procs]}"
printf '  sweep         %6.2f / %6.2f   (%.0f rows a sweep)\n' "${best[sweep_wall]}" "${best[sweep_cpu]}" "${best[sweep_procs]}"
printf '  first pass    %6.2f / %6.2f   (every process new, every row made)\n' "${best[first_wall]}" "${best[first_cpu]}"
if [ -n "$floor" ]; then
  printf '  floor prio    %6.2f / %6.2f\n' "${best[prio_wall]}" "${best[prio_cpu]}"
  printf '  floor lean    %6.2f / %6.2f\n' "${best[lean_wall]}" "${best[lean_cpu]}"
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
  verdict() { awk -v r="$1" 'BEGIN { print (r <= 1.15) ? "ok" : "OVER" }'; }
  for pair in pass:prio sweep:lean; do
    ours=${pair%%:*} theirs=${pair#*:}
    wall=$(ratio "${best[${ours}_wall]}" "${best[${theirs}_wall]}")
    cpu=$(ratio "${best[${ours}_cpu]}" "${best[${theirs}_cpu]}")
    printf '  %-5s / floor %s: wall %s (%s)  cpu %s (%s)   target <= 1.15\n' \
      "$ours" "$theirs" "$wall" "$(verdict "$wall")" "$cpu" "$(verdict "$cpu")"
  done
fi
