#!/usr/bin/env bash
# What this machine can run under Wine, asked once before the Windows tests.
#
# Machines of this kind differ: on some the kernel refuses 32-bit
# executables, so Wine's 32-bit loader (/usr/lib/wine/wine) answers "Exec
# format error" and no i686 program runs, while the 64-bit loader works.
# Plain `wine` picks the 32-bit loader, so everything here names its loader
# itself: the one of each build's bitness.
#
# Sourced by scripts/windows.sh; also a command for a look by hand:
#   scripts/wine-probe.sh                the answer for each build
#
# The loaders can be named from outside (KELVAR_WINE_LOADER_I686,
# KELVAR_WINE_LOADER_X86_64).  KELVAR_SIMULATE_NO_32BIT=1 stands in a file
# the kernel refuses for the 32-bit loader: how `make test` is shown green
# on a machine that cannot run 32-bit programs, from one that can.

probe_loader_of() {
  case $1 in
    i686) echo "${KELVAR_WINE_LOADER_I686:-/usr/lib/wine/wine}" ;;
    x86_64) echo "${KELVAR_WINE_LOADER_X86_64:-/usr/lib/wine/wine64}" ;;
  esac
}

probe_bits_of() { [ "$1" = i686 ] && echo 32 || echo 64; }

# An ELF file of no machine the kernel knows: executing it fails as a 32-bit
# loader does on a kernel without 32-bit support.
probe_refused_loader() {
  local file=$1
  mkdir -p "$(dirname "$file")"
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xff\xff\x01\x00\x00\x00' >"$file"
  head -c 64 /dev/zero >>"$file"
  chmod +x "$file"
}

# Whether the loader for ARCH starts: prints nothing and succeeds, or prints
# why not and fails.
probe_loader() {
  local arch=$1 loader out rc bits
  loader=$(probe_loader_of "$arch")
  bits=$(probe_bits_of "$arch")
  if [ ! -e "$loader" ]; then
    echo "Wine's $bits-bit loader $loader is not installed (scripts/setup.sh installs it)"
    return 1
  fi
  # bash runs the loader, not timeout: glibc's execvp hands a file the kernel
  # refuses to /bin/sh, which would hide the kernel's answer.
  out=$(timeout 30 bash -c 'exec "$0" --version' "$loader" 2>&1) && return 0
  rc=$?
  if [ "$rc" = 126 ] || grep -qi 'exec format error' <<<"$out"; then
    echo "this machine cannot run $bits-bit programs (the kernel refuses $bits-bit executables)"
  elif [ "$rc" = 124 ]; then
    echo "Wine's $bits-bit loader did not answer within 30 s"
  else
    echo "Wine's $bits-bit loader failed (exit $rc): $(head -n 1 <<<"$out")"
  fi
  return 1
}

# Whether the probe exe of ARCH runs under its loader in the current
# WINEPREFIX within LIMIT seconds; its output goes to LOG.
probe_exe() {
  local arch=$1 exe=$2 log=$3 limit=${4:-120} loader
  loader=$(probe_loader_of "$arch")
  timeout "$limit" bash -c 'exec "$0" "$1"' "$loader" "$exe" >"$log" 2>&1 </dev/null
  local rc=$?
  grep -q 'kelvar wine probe: ran' "$log" && return 0
  if [ "$rc" = 124 ]; then
    echo "a tiny test exe of the $arch build did not finish within $limit s under Wine (log: $log)"
  else
    echo "a tiny test exe of the $arch build did not run under Wine (exit $rc; log: $log)"
  fi
  return 1
}

# Builds the probe exe of ARCH into DIR; prints its path.
probe_build_exe() {
  local arch=$1 dir=$2 src
  src=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-probe.c
  mkdir -p "$dir"
  "$arch-w64-mingw32-gcc" -O2 -s -o "$dir/probe-$arch.exe" "$src" || return 1
  echo "$dir/probe-$arch.exe"
}

# Applies KELVAR_SIMULATE_NO_32BIT under DIR.
probe_apply_simulation() {
  local dir=$1
  if [ "${KELVAR_SIMULATE_NO_32BIT:-}" = 1 ]; then
    probe_refused_loader "$dir/refused-loader"
    export KELVAR_WINE_LOADER_I686=$dir/refused-loader
    echo "windows: simulating a machine that cannot run 32-bit programs (KELVAR_SIMULATE_NO_32BIT=1)"
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  for arch in i686 x86_64; do
    if why=$(probe_loader "$arch"); then
      echo "$arch: Wine's loader $(probe_loader_of "$arch") starts"
    else
      echo "$arch: $why"
    fi
  done
fi
