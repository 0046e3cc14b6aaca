# Sourced by the benchmark scripts: start_xvfb NAME starts Xvfb on the first
# free display from :90 when no DISPLAY is set, exports DISPLAY, and sets
# xvfb_pid for the caller to kill at its end; it exits with a message naming
# NAME when the server does not come up within 10 s.
start_xvfb() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n=90 i
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for ((i = 0; i < 200; i++)); do [ -S "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.05; done
  echo "$1: Xvfb did not start" >&2
  exit 1
}
