#!/usr/bin/env bash
# clang-tidy over every source file of src/ with the checks of .clang-tidy,
# once for the Linux build (build/compile_commands.json) and once for the
# 64-bit Windows build (build-win32-x86_64), which clang reads as mingw-w64
# code with the cross compiler's own C++ headers.  Any finding fails the
# run; where clang cannot parse the mingw-w64 headers the Windows half is
# skipped with a line that says so.  Files are checked $(nproc) at a time.
#   scripts/tidy.sh [linux] [win32]     (both by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
if [ $# -gt 0 ]; then targets=("$@"); else targets=(linux win32); fi

configure_linux() {
  [ -f build/compile_commands.json ] ||
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

configure_win32() {
  [ -f build-win32-x86_64/compile_commands.json ] ||
    cmake -S . -B build-win32-x86_64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DKELVAR_TESTS=ON >/dev/null
}

# The C++ include folders of the mingw-w64 cross compiler, as clang arguments.
mingw_cxx_includes() {
  x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | awk '/^ .*c\+\+/ { print "-isystem" $1 }'
}

# Runs clang-tidy on every file of src/ in DB's compile database with the
# extra clang arguments given, and prints each finding once (a header's
# finding comes from every file that includes it).
tidy() {
  local db=$1
  shift
  python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].startswith(sys.argv[2]): print(entry["file"])' "$db/compile_commands.json" "$root/src/" |
    sort -u | xargs -r -P "$jobs" -n 1 clang-tidy -p "$db" --quiet "${@/#/--extra-arg=}" 2>&1 |
    grep -E '^/.*: (warning|error): |^Error while processing' | sort -u || true
}

command -v clang-tidy >/dev/null || {
  echo "tidy: clang-tidy is not installed (scripts/setup.sh installs it)" >&2
  exit 1
}
failed=0
for target in "${targets[@]}"; do
  case $target in
    linux)
      configure_linux
      out=$(tidy build)
      ;;
    win32)
      if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
        echo "tidy: win32 skipped: the mingw-w64 cross compiler is not installed"
        continue
      fi
      mapfile -t includes < <(mingw_cxx_includes)
      args=(--target=x86_64-w64-mingw32 "${includes[@]}")
      if ! printf '#include <windows.h>\n#include <string>\n' |
        clang++ "${args[@]}" -std=c++20 -fsyntax-only -x c++ - >/dev/null 2>&1; then
        echo "tidy: win32 skipped: clang cannot parse the mingw-w64 headers here (clang++ ${args[*]})"
        continue
      fi
      configure_win32
      out=$(tidy build-win32-x86_64 "${args[@]}")
      ;;
    *)
      echo "usage: $0 [linux] [win32]" >&2
      exit 2
      ;;
  esac
  count=$(grep -c . <<<"$out" || true)
  [ -z "$out" ] || echo "$out"
  echo "tidy: $target: $count findings"
  [ "$count" = 0 ] || failed=1
done
exit $failed
