#!/usr/bin/env bash
# The Windows program: both builds (i686 and x86_64) cross-built with
# mingw-w64, and dist/ with each KelvarPM.exe and its Comment\system.ini.
#   scripts/windows.sh          build and fill dist/
#   scripts/windows.sh --test   the same, then every Windows test under Wine
#                               (core tests, adapters, window) and one
#                               screenshot of each build's window
# Wine runs in its own prefix under build-wine/, with the Unix trash and
# desktop files under build-wine/xdg, never in the user's; every Wine
# process of that prefix is ended when the script ends.
#
# Before the tests it asks what this machine can run (scripts/wine-probe.sh):
# a build whose programs cannot run here is built and import-checked, and
# its tests are skipped with one line that says why.  Every other failure
# names its step and the log to read.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
logs=$root/build-wine/logs
# shellcheck source=scripts/wine-probe.sh
source scripts/wine-probe.sh
arches=(i686 x86_64)
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
mode=${1:-}

step() { printf '\n=== %s ===\n' "$*"; }

# The benchmarks are built with the tests, so that a change that breaks one
# shows here and not first when somebody measures.
build() {
  local tests=$1
  for arch in "${arches[@]}"; do
    step "Windows build $arch"
    cmake -S . -B "build-win32-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKELVAR_TESTS="$tests" -DKELVAR_BENCH="$tests" >/dev/null
    cmake --build "build-win32-$arch" -j "$jobs"
  done
}

# Only Windows' own DLLs may be imported: the exe is copied alone.
check_imports() {
  local exe=$1 arch=$2 dll
  local allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll shlwapi.dll ole32.dll msvcrt.dll advapi32.dll "
  for dll in $("$arch-w64-mingw32-objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}'); do
    if [[ $allowed != *" $dll "* ]]; then
      echo "windows: $exe imports $dll, which Windows does not ship" >&2
      return 1
    fi
  done
}

fill_dist() {
  step "dist/"
  for arch in "${arches[@]}"; do
    local out="build-win32-$arch/src/platform/win32"
    mkdir -p "dist/$arch/Comment"
    cp "$out/KelvarPM.exe" "dist/$arch/KelvarPM.exe"
    cp "$out/Comment/system.ini" "dist/$arch/Comment/system.ini"
    check_imports "dist/$arch/KelvarPM.exe" "$arch"
    printf '%-28s %8d bytes\n' "dist/$arch/KelvarPM.exe" "$(stat -c %s "dist/$arch/KelvarPM.exe")"
  done
}

wine_env() {
  export WINEPREFIX=$root/build-wine/prefix WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export XDG_DATA_HOME=$root/build-wine/xdg
  mkdir -p "$XDG_DATA_HOME" "$logs"
}

# Runs a command with its output in LOG; when it fails, says which step
# failed and where to read why.
run_step() {
  local name=$1 log=$2 rc=0
  shift 2
  "$@" >"$log" 2>&1 </dev/null || rc=$?
  if [ "$rc" != 0 ]; then
    echo "windows: the step \"$name\" failed (exit $rc); read $log" >&2
    tail -n 20 "$log" | sed 's/^/  | /' >&2
  fi
  return "$rc"
}

# The prefix is made once, with the 64-bit loader: the prefix is a 64-bit
# one, and plain `wine` would pick the 32-bit loader.  Its settings are
# applied on every run.
make_prefix() {
  local wine64 reg=$root/build-wine/prefix.reg
  wine64=$(probe_loader_of x86_64)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "Wine prefix (once)"
    mkdir -p "$(dirname "$WINEPREFIX")"
    run_step "Wine prefix" "$logs/prefix.log" "$wine64" wineboot -i
    run_step "Wine prefix (wineserver)" "$logs/prefix-wait.log" wineserver -w
  fi
  { printf '\xff\xfe'; sed 's/$/\r/' resources/win32/wine-prefix.reg.utf8 | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  run_step "Wine prefix settings" "$logs/regedit.log" "$wine64" regedit /S 'Z:'"${reg//\//\\}"
  # Debian's Wine does not find its own caption-button font (Marlett) and
  # draws the buttons as letters; the prefix gets a copy.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then mkdir -p "$fonts" && cp "$marlett" "$fonts/"; fi
  wineserver -w
}

# One window of one build under the running X server: the time from the
# start until the window shows (with its first refresh done), and a picture.
# A second argument names the screen's DPI the picture was taken at.
screenshot() {
  local arch=$1 exe="dist/$1/KelvarPM.exe" shot="build/screenshots/win32-$1${2:+-$2dpi}.png"
  mkdir -p build/screenshots
  local start pid shown=0
  start=$(date +%s%N)
  env LC_ALL=zh_CN.UTF-8 "$(probe_loader_of "$arch")" "$exe" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 400); do
    if xdotool search --onlyvisible --name 'Kelvar' >/dev/null 2>&1; then shown=1; break; fi
    sleep 0.05
  done
  local ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$shown" = 1 ]; then
    printf 'win32-%s: start to first full window %d ms\n' "$arch" "$ms"
    sleep 1.5
    import -window root "$shot"
    echo "screenshot: $shot"
  else
    echo "win32-$arch: no window after ${ms} ms" >&2
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$shown" = 1 ]
}

# The prefix's screen DPI (LogPixels), or Wine's 96 for "".  A program
# started after it reads it; the wineserver runs on (-p), so nothing waits.
set_dpi() {
  local key='HKCU\Control Panel\Desktop' wine64
  wine64=$(probe_loader_of x86_64)
  if [ -n "$1" ]; then
    "$wine64" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  else
    "$wine64" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
  fi
}

# The builds whose programs run here (runnable) and, for the others, why
# not (skip_reason); a build is runnable when its loader starts and a tiny
# exe of it runs in the prefix.
declare -a runnable=()
declare -A skip_reason=()

probe_machine() {
  local arch why
  step "what this machine can run under Wine"
  for arch in "${arches[@]}"; do
    if why=$(probe_loader "$arch"); then runnable+=("$arch"); else skip_reason[$arch]=$why; fi
  done
}

probe_builds() {
  local arch exe why still=()
  for arch in "${runnable[@]}"; do
    exe=$(probe_build_exe "$arch" "$root/build-wine/probe") || {
      echo "windows: the step \"probe exe $arch\" failed: $arch-w64-mingw32-gcc could not build scripts/wine-probe.c" >&2
      return 1
    }
    if why=$(probe_exe "$arch" "$exe" "$logs/probe-$arch.log"); then still+=("$arch"); else skip_reason[$arch]=$why; fi
  done
  runnable=("${still[@]}")
  for arch in "${runnable[@]}"; do echo "windows: $arch programs run here"; done
}

# The number of tests a build holds, for the count of skipped tests.
tests_in() {
  ctest --test-dir "build-win32-$1" -N 2>/dev/null | awk '/Total Tests:/ { print $3 }'
}

report_skips() {
  local arch
  for arch in "${arches[@]}"; do
    [ -n "${skip_reason[$arch]:-}" ] || continue
    echo "windows: $arch tests skipped ($(tests_in "$arch") tests): ${skip_reason[$arch]}; the $arch build was built and its imports checked"
  done
  if [ ${#runnable[@]} -eq 0 ]; then
    echo "windows: the Linux program's code page 936 is not compared with Windows': Wine runs no build here"
  fi
}

# The Linux build's code page 936 answers (tests/linux/cp936_dump.cpp) as a
# Windows path, for the test that compares them with Windows' own; empty,
# with a line that says so, when there is no Linux build to give them.
linux_cp936_answers() {
  local file=$root/build/tests/linux/cp936_linux.bin
  if [ -f "$file" ]; then
    echo "Z:${file//\//\\}"
  else
    echo "windows: the Linux program's code page 936 is not compared with Windows': $file is missing (make test builds it first)" >&2
  fi
}

# Runs inside xvfb-run: the probe, every Windows test of the builds that run
# here, then their screenshots.  wineserver and Wine's services start here,
# apart from the tests' output pipes, and are ended on the way out.
under_display() {
  wine_env
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  probe_apply_simulation "$root/build-wine"
  probe_machine
  if [ ${#runnable[@]} -eq 0 ]; then
    report_skips
    return 0
  fi
  if [ -n "${skip_reason[x86_64]:-}" ]; then
    # The prefix is a 64-bit one; without a 64-bit loader there is none.
    skip_reason[i686]="the 64-bit Wine loader, which makes the test prefix, cannot run here"
    runnable=()
    report_skips
    return 0
  fi
  make_prefix
  wineserver -p >/dev/null 2>&1
  run_step "Wine services" "$logs/wineboot.log" "$(probe_loader_of x86_64)" wineboot
  probe_builds
  report_skips
  local trash="Z:${XDG_DATA_HOME//\//\\}\\Trash\\files" failed=0 arch cp936
  cp936=$(linux_cp936_answers)
  # A 64-bit program for either build's test of a file only in System32.
  local child64="Z:${root//\//\\}\\build-win32-x86_64\\tests\\win32\\kelvar_child.exe"
  for arch in "${runnable[@]}"; do
    step "Windows tests $arch under Wine"
    env LC_ALL=zh_CN.UTF-8 KELVAR_TRASH="$trash" KELVAR_CHILD64="$child64" KELVAR_WINE="$(probe_loader_of "$arch")" \
      KELVAR_CP936_LINUX="$cp936" \
      ctest --test-dir "build-win32-$arch" --output-on-failure --timeout 600 || {
      echo "windows: the step \"Windows tests $arch under Wine\" failed; its output is above" >&2
      failed=1
    }
  done
  step "screenshots"
  for arch in "${runnable[@]}"; do screenshot "$arch" || failed=1; done
  # The 64-bit window once more on a 144-DPI screen.
  if [[ " ${runnable[*]} " == *" x86_64 "* ]]; then
    set_dpi 144
    screenshot x86_64 144 || failed=1
    set_dpi ""
  fi
  return $failed
}

case "$mode" in
  --under-display)
    under_display
    ;;
  --test)
    build ON
    fill_dist
    step "Windows tests under Wine (Xvfb)"
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --under-display
    ;;
  "")
    build OFF
    fill_dist
    ;;
  *)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac
