#!/usr/bin/env bash
# The program on today's Wayland desktops, each under a headless weston this
# script starts: with XWayland it must run on xcb, centred and kept on top on
# request; on Wayland alone it runs on Wayland with always-on-top greyed out.
# The user has chosen no platform in either.  Each case leaves a screenshot
# of the compositor's output in SCREENSHOT_DIR/wayland-<case>.png.  With no
# display at all, the program says so and ends, rather than Qt aborting it.
#   tests/scripts/compositor_test.sh TESTS_EXE SCREENSHOT_DIR KELVARPM
# A case whose compositor cannot start is skipped with a line that says why;
# the script then ends with 77 (ctest's "skipped") unless a case failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/weston.sh"
tests=$1 shots=$2 program=$3
mkdir -p "$shots"
failed=0 skipped=0

run_case() {  # NAME GTEST_FILTER [--xwayland]
  local name=$1 filter=$2
  shift 2
  (
    start_weston "compositor test ($name)" "$@" || exit 77
    trap stop_weston EXIT
    env -u QT_QPA_PLATFORM KELVAR_SCREENSHOT="$shots/wayland-$name.png" "$tests" --gtest_filter="$filter"
  )
  case $? in
    0) ;;
    77) skipped=1 ;;
    *) failed=1 ;;
  esac
}

said=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$program" 2>&1)
status=$?
if [ "$status" != 1 ] || [[ $said != "kelvarpm: no display to open the window on:"* ]]; then
  echo "FAIL: with no display the program ended with $status and said: $said"
  failed=1
fi

run_case xwayland 'Compositor.WithXWayland*' --xwayland
run_case wayland 'Compositor.OnWaylandAlone*'
[ "$failed" = 0 ] || exit 1
[ "$skipped" = 0 ] || exit 77
