#!/usr/bin/env bash
# The program on large process tables, one build or several side by side.
# Every case starts its own sleeping processes (a session of their own, killed
# at its end), then runs each build in turn, round after round (the order
# reversed every other round, so that neither build always goes first on a
# machine whose load drifts), and prints every round:
#   peer   BENCH_PEER_SLEEPERS (1,000) sleepers: kelvarpm at its own timers
#          (refresh 200 ms, sweep 500 ms) beside btop (update_ms 200), both
#          measured over the same window; target kelvarpm <= 0.4 x btop.
#   big    BENCH_SCALE_PROCESSES (10,000) sleepers: CPU, start to first
#          painted window, open descriptors; targets CPU <= 30 %, paint <= 0.8 s.
#   limit  BENCH_SCALE_LIMITED (3,000) sleepers, the program started under a
#          soft descriptor limit of 1,024 (`ulimit -Sn 1024`) and without;
#          target <= 1.5 x the CPU without.  BENCH_SCALE_HARD_LIMIT=1 adds a
#          run under a hard limit of 1,024 too, which the program cannot raise.
#   pass   BENCH_PEER_SLEEPERS sleepers: each build's own kelvar_linux_bench
#          (refresh pass and sweep per process); target the last build's pass
#          <= 1.5 x the first's.
# As root, with unshare(1), the whole run is in a fresh PID namespace with its
# own /proc: the tables hold the sleepers and the run's own processes, not the
# machine's, and every process of the run ends with it.  Otherwise it runs
# beside the machine's processes and says so.
# CPU is in % of one core over BENCH_SECONDS (20) after 3 s of settling.
# Usage: scripts/bench-scale.sh [BUILD_DIR...]   (default build-bench)
#   BENCH_OLD=DIR puts that build first, e.g.
#   BENCH_OLD=/work/old/build-bench scripts/bench-scale.sh build-bench
# BENCH_SCALE_CASES (default "big limit": bench-program.sh and bench-linux.sh
# measure the other two for one build) and BENCH_SCALE_ROUNDS (default 1)
# choose how much is run.
set -euo pipefail
cd "$(dirname "$0")/.."

builds=()
[ -n "${BENCH_OLD:-}" ] && builds+=("$BENCH_OLD")
if [ $# -gt 0 ]; then builds+=("$@"); else builds+=(build-bench); fi
cases=${BENCH_SCALE_CASES:-big limit}
rounds=${BENCH_SCALE_ROUNDS:-1}
measure_s=${BENCH_SECONDS:-20}
settle_s=3
peer_sleepers=${BENCH_PEER_SLEEPERS:-1000}
big=${BENCH_SCALE_PROCESSES:-10000}
limited=${BENCH_SCALE_LIMITED:-3000}
hard_limit=${BENCH_SCALE_HARD_LIMIT:-0}

if [ -z "${KELVAR_SCALE_INSIDE:-}" ]; then
  for b in "${builds[@]}"; do
    [ -x "$b/src/platform/qt/kelvarpm" ] || { echo "bench-scale: no $b/src/platform/qt/kelvarpm; build first" >&2; exit 1; }
  done
  bash scripts/setup.sh btop tmux >/dev/null

  xvfb_pid=
  stop_xvfb() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
  trap stop_xvfb EXIT
  . scripts/xvfb.sh
  start_xvfb bench-scale

  echo "bench-scale: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), pid_max $(cat /proc/sys/kernel/pid_max)," \
    "ulimit -u $(ulimit -u), descriptors soft $(ulimit -Sn) hard $(ulimit -Hn)"
  export KELVAR_SCALE_INSIDE=1
  if [ "$(id -u)" = 0 ] && unshare -p -f --mount-proc true 2>/dev/null; then
    echo "bench-scale: in a fresh PID namespace (unshare -p -f --mount-proc)"
    unshare -p -f --mount-proc bash "$0" "${builds[@]}"
  else
    echo "bench-scale: no fresh PID namespace here (needs root and unshare): the machine's processes are counted too"
    KELVAR_SCALE_INSIDE=host bash "$0" "${builds[@]}"
  fi
  exit
fi

# --- from here on, inside the run ---------------------------------------------
builds=("$@")
work=$(mktemp -d /tmp/kelvar-scale.XXXXXX)
tmux_sock=kelvar-scale-$$
sleepers_pgid= kelvar_pid=
stop_sleepers() {
  [ -n "$sleepers_pgid" ] && kill -KILL -- "-$sleepers_pgid" 2>/dev/null || true
  sleepers_pgid=
}
cleanup() {
  tmux -L "$tmux_sock" kill-server 2>/dev/null || true
  [ -n "$kelvar_pid" ] && kill "$kelvar_pid" 2>/dev/null || true
  stop_sleepers
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# No session bus on this display: keep Qt from autolaunching one.
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
hz=$(getconf CLK_TCK)

live_processes() { awk '$1 != "Z" {n++} END {print n + 0}' < <(cat /proc/[0-9]*/stat 2>/dev/null | sed 's/^.*) //'); }
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
pct() { awk -v d="$1" -v hz="$hz" -v ns="$2" 'BEGIN {printf "%.2f", d / hz / (ns / 1e9) * 100}'; }

# start_sleepers COUNT: that many `sleep`s in a session of their own.
start_sleepers() {
  stop_sleepers
  rm -f "$work/sleepers.pgid"
  setsid bash -c 'echo $$ >"$1.tmp"; mv "$1.tmp" "$1"; for ((i = 0; i < $2; i++)); do sleep 100000 & done; wait' _ \
    "$work/sleepers.pgid" "$1" </dev/null >/dev/null 2>&1 &
  disown
  until [ -s "$work/sleepers.pgid" ]; do sleep 0.05; done
  sleepers_pgid=$(cat "$work/sleepers.pgid")
  local deadline=$((SECONDS + 120 + $1 / 50))
  until [ "$(pgrep -c -g "$sleepers_pgid" || true)" -gt "$1" ] || [ $SECONDS -ge $deadline ]; do sleep 0.5; done
  echo "$(($(pgrep -c -g "$sleepers_pgid" || true) - 1)) sleepers, $(live_processes) processes in /proc"
}

# run_program BUILD [ULIMIT ARGS]: starts kelvarpm (under those limits),
# waits for its first paint and the settling, measures it over the window
# (and btop beside it when $peer_pid is set), and sets the figures below.
peer_pid=
run_program() {
  local build=$1; shift
  local exe=$build/src/platform/qt/kelvarpm
  local start_ns paint_ns k0 k1 p0=0 p1=0 t0 t1
  rm -f "$work/kelvar.out"
  start_ns=$(date +%s%N)
  (
    [ $# -eq 0 ] || ulimit "$@"
    exec "$exe" --report-first-paint
  ) </dev/null >"$work/kelvar.out" 2>"$work/kelvar.err" &
  kelvar_pid=$!
  local deadline=$((SECONDS + 60))
  until grep -q first-paint-ns "$work/kelvar.out" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$kelvar_pid" 2>/dev/null; then
      echo "bench-scale: $exe painted nothing" >&2
      cat "$work/kelvar.err" >&2
      exit 1
    fi
    sleep 0.02
  done
  paint_ns=$(awk '/first-paint-ns/ {print $2}' "$work/kelvar.out")
  paint_ms=$(((paint_ns - start_ns) / 1000000))
  sleep "$settle_s"
  t0=$(date +%s%N)
  k0=$(cpu_ticks "$kelvar_pid")
  [ -z "$peer_pid" ] || p0=$(cpu_ticks "$peer_pid")
  sleep "$measure_s"
  k1=$(cpu_ticks "$kelvar_pid")
  [ -z "$peer_pid" ] || p1=$(cpu_ticks "$peer_pid")
  t1=$(date +%s%N)
  cpu=$(pct $((k1 - k0)) $((t1 - t0)))
  peer_cpu=$(pct $((p1 - p0)) $((t1 - t0)))
  fds=$(find "/proc/$kelvar_pid/fd" -mindepth 1 -maxdepth 1 | wc -l)
  fd_soft=$(awk '/^Max open files/ {print $4}' "/proc/$kelvar_pid/limits")
  rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$kelvar_pid/status")
  kill "$kelvar_pid"
  wait "$kelvar_pid" 2>/dev/null || true
  kelvar_pid=
}

# Round r visits the builds in order, reversed when r is even.
order() {
  if (($1 % 2)); then printf '%s\n' "${builds[@]}"; else printf '%s\n' "${builds[@]}" | tac; fi
}

results=$work/results  # case, build, variant, metric, value
record() { printf '%s\t%s\t%s\t%s\t%s\n' "$@" >>"$results"; }
touch "$results"

case_peer() {
  printf '\n=== peer: %s sleepers, kelvarpm beside btop (update_ms 200), %s s ===\n' "$peer_sleepers" "$measure_s"
  start_sleepers "$peer_sleepers"
  mkdir -p "$work/config/btop"
  printf 'update_ms = 200\nshown_boxes = "cpu mem net proc"\n' >"$work/config/btop/btop.conf"
  tmux -L "$tmux_sock" -f /dev/null new-session -d -s btop -x 160 -y 48 \
    "exec env TERM=xterm-256color LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME=$work XDG_CONFIG_HOME=$work/config btop"
  peer_pid=$(tmux -L "$tmux_sock" list-panes -t btop -F '#{pane_pid}')
  sleep "$settle_s"
  for ((r = 1; r <= rounds; r++)); do
    mapfile -t ord < <(order "$r")
    for b in "${ord[@]}"; do
      run_program "$b"
      ratio=$(awk -v k="$cpu" -v p="$peer_cpu" 'BEGIN {printf "%.3f", (p > 0 ? k / p : 0)}')
      printf 'round %d  %-32s kelvarpm %6s %%  btop %6s %%  ratio %s\n' "$r" "$b" "$cpu" "$peer_cpu" "$ratio"
      record peer "$b" - cpu "$cpu"
      record peer "$b" - btop "$peer_cpu"
      record peer "$b" - ratio "$ratio"
    done
  done
  tmux -L "$tmux_sock" kill-server 2>/dev/null || true
  peer_pid=
  stop_sleepers
}

case_big() {
  printf '\n=== big: %s sleepers, %s s ===\n' "$big" "$measure_s"
  start_sleepers "$big"
  for ((r = 1; r <= rounds; r++)); do
    mapfile -t ord < <(order "$r")
    for b in "${ord[@]}"; do
      run_program "$b"
      printf 'round %d  %-32s CPU %6s %%  first paint %5s ms  descriptors %5s (limit %s)  RSS %s kB\n' \
        "$r" "$b" "$cpu" "$paint_ms" "$fds" "$fd_soft" "$rss_kb"
      record big "$b" - cpu "$cpu"
      record big "$b" - paint_ms "$paint_ms"
      record big "$b" - fds "$fds"
    done
  done
  stop_sleepers
}

case_limit() {
  local variants=("none" "soft1024:-Sn 1024")
  [ "$hard_limit" = 1 ] && variants+=("hard1024:-n 1024")
  printf '\n=== limit: %s sleepers, started with no limit change, under ulimit -Sn 1024%s, %s s ===\n' \
    "$limited" "$([ "$hard_limit" = 1 ] && echo ' and under ulimit -n 1024')" "$measure_s"
  start_sleepers "$limited"
  for ((r = 1; r <= rounds; r++)); do
    mapfile -t ord < <(order "$r")
    for b in "${ord[@]}"; do
      for v in "${variants[@]}"; do
        local name=${v%%:*} args=
        [ "$v" = "$name" ] || args=${v#*:}
        # shellcheck disable=SC2086  # the ulimit arguments are words
        run_program "$b" $args
        printf 'round %d  %-32s %-9s CPU %6s %%  first paint %5s ms  descriptors %5s (limit %s)\n' \
          "$r" "$b" "$name" "$cpu" "$paint_ms" "$fds" "$fd_soft"
        record limit "$b" "$name" cpu "$cpu"
        record limit "$b" "$name" fds "$fds"
      done
    done
  done
  stop_sleepers
}

bench_field() {  # bench_field NAME COUNTER < json
  awk -v name="\"$1" -v key="\"$2\":" '
    index($0, "\"name\": " name) { inside = 1 }
    inside && index($0, key) { gsub(/[ ,]/, "", $2); print $2 + 0; exit }'
}

case_pass() {
  printf '\n=== pass: each build'"'"'s kelvar_linux_bench, %s sleepers, us per process (wall / cpu) ===\n' "$peer_sleepers"
  start_sleepers "$peer_sleepers"
  for ((r = 1; r <= rounds; r++)); do
    mapfile -t ord < <(order "$r")
    for b in "${ord[@]}"; do
      local bench=$b/bench/kelvar_linux_bench json
      if [ ! -x "$bench" ]; then
        echo "round $r  $b: no $bench (a build with KELVAR_BENCH=ON has it): skipped"
        continue
      fi
      json=$("$bench" --benchmark_filter='BM_LinuxRefreshPass|BM_LinuxSweep' --benchmark_format=json \
        --benchmark_min_time=2 </dev/null 2>/dev/null)
      local pw pc sw sc
      pw=$(bench_field BM_LinuxRefreshPass wall_us_per_proc <<<"$json")
      pc=$(bench_field BM_LinuxRefreshPass cpu_us_per_proc <<<"$json")
      sw=$(bench_field BM_LinuxSweep wall_us_per_proc <<<"$json")
      sc=$(bench_field BM_LinuxSweep cpu_us_per_proc <<<"$json")
      printf 'round %d  %-32s refresh pass %6.3f / %6.3f   sweep %6.3f / %6.3f\n' "$r" "$b" "$pw" "$pc" "$sw" "$sc"
      record pass "$b" - pass_wall "$pw"
      record pass "$b" - pass_cpu "$pc"
      record pass "$b" - sweep_wall "$sw"
      record pass "$b" - sweep_cpu "$sc"
    done
  done
  stop_sleepers
}

for c in $cases; do
  case $c in
    peer | big | limit | pass) "case_$c" ;;
    *) echo "bench-scale: no case '$c' (peer, big, limit, pass)" >&2 ;;
  esac
done

# The mean of every figure over the rounds, and the last build against the
# targets (and, for the pass, against the first build).
mean() { awk -F'\t' -v c="$1" -v b="$2" -v v="$3" -v m="$4" \
  '$1 == c && $2 == b && $3 == v && $4 == m {s += $5; n++} END {if (n) printf "%.2f", s / n; else print "-"}' "$results"; }
check() { awk -v a="$1" -v b="$2" 'BEGIN {print (a != "-" && b != "-" && a + 0 <= b + 0) ? "met" : "NOT met"}'; }
last=${builds[-1]} first=${builds[0]}
printf '\n=== means over %d round(s) ===\n' "$rounds"
for b in "${builds[@]}"; do
  printf '%s\n' "$b"
  [[ " $cases " == *" peer "* ]] &&
    printf '  peer   kelvarpm %s %%  btop %s %%  ratio %s\n' "$(mean peer "$b" - cpu)" "$(mean peer "$b" - btop)" "$(mean peer "$b" - ratio)"
  [[ " $cases " == *" big "* ]] &&
    printf '  big    CPU %s %%  first paint %s ms  descriptors %s\n' "$(mean big "$b" - cpu)" "$(mean big "$b" - paint_ms)" "$(mean big "$b" - fds)"
  if [[ " $cases " == *" limit "* ]]; then
    none=$(mean limit "$b" none cpu) soft=$(mean limit "$b" soft1024 cpu)
    printf '  limit  CPU no change %s %%  soft 1024 %s %% (x%s)' "$none" "$soft" \
      "$(awk -v a="$soft" -v b="$none" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')"
    [ "$hard_limit" = 1 ] && printf '  hard 1024 %s %%' "$(mean limit "$b" hard1024 cpu)"
    printf '\n'
  fi
  [[ " $cases " == *" pass "* ]] &&
    printf '  pass   refresh %s / %s us  sweep %s / %s us per process (wall / cpu)\n' \
      "$(mean pass "$b" - pass_wall)" "$(mean pass "$b" - pass_cpu)" "$(mean pass "$b" - sweep_wall)" "$(mean pass "$b" - sweep_cpu)"
done
printf 'targets for %s:\n' "$last"
[[ " $cases " == *" peer "* ]] &&
  printf '  peer   ratio %s <= 0.4: %s\n' "$(mean peer "$last" - ratio)" "$(check "$(mean peer "$last" - ratio)" 0.4)"
if [[ " $cases " == *" big "* ]]; then
  printf '  big    CPU %s %% <= 30: %s\n' "$(mean big "$last" - cpu)" "$(check "$(mean big "$last" - cpu)" 30)"
  printf '  big    first paint %s ms <= 800: %s\n' "$(mean big "$last" - paint_ms)" "$(check "$(mean big "$last" - paint_ms)" 800)"
fi
if [[ " $cases " == *" limit "* ]]; then
  none=$(mean limit "$last" none cpu) soft=$(mean limit "$last" soft1024 cpu)
  printf '  limit  soft 1024 %s %% <= 1.5 x %s %%: %s\n' "$soft" "$none" \
    "$(check "$soft" "$(awk -v n="$none" 'BEGIN {print 1.5 * n}')")"
fi
if [[ " $cases " == *" pass "* ]] && [ ${#builds[@]} -gt 1 ]; then
  for m in pass_wall pass_cpu; do
    a=$(mean pass "$last" - "$m") o=$(mean pass "$first" - "$m")
    printf '  pass   %s %s <= 1.5 x %s (%s): %s\n' "$m" "$a" "$o" "$first" \
      "$(check "$a" "$(awk -v o="$o" 'BEGIN {print o == "-" ? "-" : 1.5 * o}')")"
  done
fi
