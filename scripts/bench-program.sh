#!/usr/bin/env bash
# The running program beside its peers.  With ~1,000 sleep processes (in a
# process group of their own, killed at the end) it runs kelvarpm at its own
# pace (refresh every 200 ms, sweep every 500 ms) next to btop (update_ms 200)
# and htop (-d 2, also 200 ms), the peers under tmux with a fixed TERM and
# size, and reports each one's CPU over the same 20 s, the program's time
# from start to its first painted window, and its memory.
# BENCH_LONG=1 adds the long run: 10 minutes with processes coming and going,
# reporting the program's RSS along the way.
# Usage: scripts/bench-program.sh [BUILD_DIR]   (default build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
exe=$build/src/platform/qt/kelvarpm
measure_s=${BENCH_SECONDS:-20}
sleepers=${BENCH_SLEEPERS:-1000}
long_s=${BENCH_LONG_SECONDS:-600}
[ -x "$exe" ] || { echo "bench-program: no $exe; build first" >&2; exit 1; }

bash scripts/setup.sh htop btop tmux >/dev/null

work=$(mktemp -d /tmp/kelvar-bench.XXXXXX)
tmux_sock=kelvar-bench-$$
kelvar_pid= sleepers_pgid= churn_pgid= xvfb_pid=
cleanup() {
  tmux -L "$tmux_sock" kill-server 2>/dev/null || true
  [ -n "$kelvar_pid" ] && kill "$kelvar_pid" 2>/dev/null || true
  [ -n "$churn_pgid" ] && kill -KILL -- "-$churn_pgid" 2>/dev/null || true
  [ -n "$sleepers_pgid" ] && kill -KILL -- "-$sleepers_pgid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition for up to $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}
file_has() { [ -s "$1" ] && grep -q "$2" "$1"; }
group_size() { pgrep -g "$1" -c 2>/dev/null || echo 0; }
group_has() { [ "$(group_size "$1")" -ge "$2" ]; }
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
hz=$(getconf CLK_TCK)

if [ -z "${DISPLAY:-}" ]; then
  . scripts/xvfb.sh
  start_xvfb bench-program
  # No session bus on this display: keep Qt from autolaunching one that
  # would outlive the run.
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
fi
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# The sleepers, in a session (and so a process group) of their own.
setsid bash -c 'echo $$ > "$1"; for _ in $(seq "$2"); do sleep 100000 & done; wait' _ \
  "$work/sleepers.pgid" "$sleepers" >/dev/null 2>&1 &
wait_for 10 file_has "$work/sleepers.pgid" . 
sleepers_pgid=$(cat "$work/sleepers.pgid")
wait_for 60 group_has "$sleepers_pgid" "$sleepers" || true
echo "bench-program: $(group_size "$sleepers_pgid") processes in the sleepers' group, $(ls -d /proc/[0-9]* | wc -l) in all"

# The program: start to first painted window.
start_ns=$(date +%s%N)
"$exe" --report-first-paint >"$work/kelvar.out" 2>"$work/kelvar.err" &
kelvar_pid=$!
wait_for 60 file_has "$work/kelvar.out" first-paint-ns || { cat "$work/kelvar.err" >&2; exit 1; }
paint_ns=$(awk '/first-paint-ns/ {print $2}' "$work/kelvar.out")
startup_ms=$(((paint_ns - start_ns) / 1000000))

# The peers, each on a pty of 160 x 48 with TERM xterm-256color.
mkdir -p "$work/config/btop"
printf 'update_ms = 200\nshown_boxes = "cpu mem net proc"\n' >"$work/config/btop/btop.conf"
peer_env="env TERM=xterm-256color LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME=$work XDG_CONFIG_HOME=$work/config"
tmux -L "$tmux_sock" -f /dev/null new-session -d -s btop -x 160 -y 48 "exec $peer_env btop"
tmux -L "$tmux_sock" -f /dev/null new-session -d -s htop -x 160 -y 48 "exec $peer_env htop -d 2"
btop_pid=$(tmux -L "$tmux_sock" list-panes -t btop -F '#{pane_pid}')
htop_pid=$(tmux -L "$tmux_sock" list-panes -t htop -F '#{pane_pid}')

sleep 3  # every one past its start-up
declare -A before after
for who in kelvar:$kelvar_pid btop:$btop_pid htop:$htop_pid; do before[${who%%:*}]=$(cpu_ticks "${who##*:}"); done
t0=$(date +%s%N)
sleep "$measure_s"
for who in kelvar:$kelvar_pid btop:$btop_pid htop:$htop_pid; do after[${who%%:*}]=$(cpu_ticks "${who##*:}"); done
t1=$(date +%s%N)
pct() { awk -v d="$1" -v hz="$hz" -v ns="$((t1 - t0))" 'BEGIN {printf "%.2f", d / hz / (ns / 1e9) * 100}'; }
k=$(pct $((after[kelvar] - before[kelvar])))
b=$(pct $((after[btop] - before[btop])))
h=$(pct $((after[htop] - before[htop])))
verdict=$(awk -v k="$k" -v b="$b" -v h="$h" 'BEGIN {print (k <= b && k <= 0.4 * h) ? "met" : "NOT met"}')

printf '\n=== the program beside its peers: %s sleepers, %s s, CPU in %% of one core ===\n' "$sleepers" "$measure_s"
printf 'kelvarpm (200/500 ms) %6s %%\n' "$k"
printf 'btop (update_ms 200)  %6s %%\n' "$b"
printf 'htop (-d 2)           %6s %%\n' "$h"
printf 'target: kelvarpm <= btop and <= 0.4 x htop (%s %%): %s\n' "$(awk -v h="$h" 'BEGIN {printf "%.2f", 0.4 * h}')" "$verdict"
printf 'start to first painted window: %s ms\n' "$startup_ms"
printf 'kelvarpm RSS now: %s kB\n' "$(rss_kb "$kelvar_pid")"
tmux -L "$tmux_sock" kill-server 2>/dev/null || true

[ "${BENCH_LONG:-0}" = 1 ] || exit 0

# The long run: short-lived processes come and go beside the sleepers.
printf '\n=== long run: %s s with processes coming and going ===\n' "$long_s"
setsid bash -c 'echo $$ > "$1"; while :; do for _ in $(seq 40); do sleep "0.$((RANDOM % 9 + 1))" & done; wait; done' _ \
  "$work/churn.pgid" >/dev/null 2>&1 &
wait_for 10 file_has "$work/churn.pgid" .
churn_pgid=$(cat "$work/churn.pgid")
printf 't=0 s RSS %s kB\n' "$(rss_kb "$kelvar_pid")"
for t in $(seq 60 60 "$long_s"); do
  sleep 60
  printf 't=%s s RSS %s kB\n' "$t" "$(rss_kb "$kelvar_pid")"
done
