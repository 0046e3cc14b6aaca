# Sourced by the compositor tests: start_weston NAME [--xwayland] starts a
# headless weston (pixman renderer, one 1280x1024 output, the desktop shell
# without animations, its debug protocol on so that weston-screenshooter may
# take a picture) with an XDG_RUNTIME_DIR of its own, and exports
# XDG_RUNTIME_DIR and WAYLAND_DISPLAY for its clients; with --xwayland it
# also exports the DISPLAY of its XWayland server.  It sets weston_pid and weston_dir for
# stop_weston.  Where the compositor cannot start (weston or Xwayland
# missing, the backend refused) it says so with NAME and returns 1.
start_weston() {
  local name=$1 i
  shift
  if ! command -v weston >/dev/null; then
    echo "$name: skipped: weston is not installed (scripts/setup.sh installs it)"
    return 1
  fi
  if [ "${1:-}" = --xwayland ] && [ ! -x /usr/bin/Xwayland ]; then
    echo "$name: skipped: Xwayland is not installed (scripts/setup.sh installs it)"
    return 1
  fi
  weston_dir=$(mktemp -d)
  chmod 700 "$weston_dir"
  export XDG_RUNTIME_DIR=$weston_dir WAYLAND_DISPLAY=kelvar-wayland
  unset DISPLAY
  # No fading in: a picture shows each window as it stays.
  printf '[shell]\nanimation=none\nclose-animation=none\nstartup-animation=none\nfocus-animation=none\n' \
    >"$weston_dir/weston.ini"
  weston --config="$weston_dir/weston.ini" --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
    --idle-time=0 --socket=kelvar-wayland --debug "$@" >"$weston_dir/weston.log" 2>&1 &
  weston_pid=$!
  for ((i = 0; i < 200; i++)); do
    if [ "${1:-}" = --xwayland ]; then
      DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$weston_dir/weston.log")
      [ -z "$DISPLAY" ] || { export DISPLAY; return 0; }
    elif [ -S "$weston_dir/kelvar-wayland" ]; then
      return 0
    fi
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "$name: skipped: weston ${*:-} did not start; its log:"
  sed 's/^/  /' "$weston_dir/weston.log" | tail -n 5
  stop_weston
  return 1
}

# Ends the compositor (and its XWayland) and removes its runtime folder.
stop_weston() {
  kill "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  rm -rf "$weston_dir"
  unset DISPLAY
}
