#!/usr/bin/env bash
# Starts the Linux program from a build folder (make run calls it after the
# build).  With a display (X11 or Wayland) the window opens.  Without one the
# window cannot open, so this says so and shows the program all the same: the
# rows of one refresh pass as text, and a screenshot of the window taken on a
# virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

exe=$build/src/platform/qt/kelvarpm
[ -x "$exe" ] || exe=$(find "$build" -type f -name kelvarpm -perm -u+x 2>/dev/null | head -n 1)
if [ -z "$exe" ] || [ ! -x "$exe" ]; then
  echo "run: no kelvarpm under $build; build it first (make build)" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"

echo "run: there is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the"
echo "run: window cannot open.  Instead: the list of one refresh pass, then a screenshot"
echo "run: of the window on a virtual X display."
echo
QT_QPA_PLATFORM=offscreen "$exe" --print-once
echo

mkdir -p "$build/screenshots"
# No session bus here either: an address that leads nowhere keeps Qt from
# autolaunching one that would outlive the virtual display.
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/kelvar-no-bus
shot=$(cd "$build/screenshots" && pwd)/linux.png
if command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$exe" --screenshot "$shot" >/dev/null
else
  echo "run: xvfb-run is missing (make setup installs it); drawing offscreen instead"
  QT_QPA_PLATFORM=offscreen "$exe" --screenshot "$shot" >/dev/null
fi
echo "run: screenshot of the window: $shot"
