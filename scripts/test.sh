#!/usr/bin/env bash
# The whole test suite, in the order a failure is cheapest to see:
#  0. every source file on .clang-format;
#  1. the Linux build (core, adapters, Qt program) and its tests, clang-tidy
#     over src/ for Linux and Windows, then the .deb, checked and run
#     unpacked (never installed);
#  2. the same tests again under AddressSanitizer + UndefinedBehaviorSanitizer;
#  3. each libFuzzer target for 10 seconds;
#  4. both Windows builds and their tests under Wine.
# Ends with one line counting every test: passed, failed and skipped (the
# Windows tests of a build whose programs this machine cannot run).  A
# failure names the step it happened in and the log to read.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

step() { printf '\n=== %s ===\n' "$*"; }

suite() {
  step "code style"
  scripts/format-check.sh

  # The benchmarks are built too, so that a change that breaks one is seen
  # here and not first when somebody measures.
  step "Linux build and tests"
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVAR_BENCH=ON >/dev/null
  cmake --build build -j "$jobs"
  ctest --test-dir build --output-on-failure -j "$jobs"

  step "clang-tidy"
  scripts/tidy.sh

  step "Debian package, unpacked and run"
  scripts/package.sh deb
  tests/scripts/deb_test.sh

  step "Linux tests under ASan + UBSan"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVAR_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

  step "fuzz targets, 10 s each"
  scripts/fuzz.sh 10

  step "Windows builds and tests under Wine"
  scripts/windows.sh --test
}

mkdir -p build
log=build/test.log
# The suite stops at its first failure (its own set -e); this script goes on
# to say which step failed.
set +e
(
  set -e
  suite
) 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
if [ "$status" != 0 ]; then
  failed_step=$(sed -n 's/^=== \(.*\) ===$/\1/p' "$log" | tail -n 1)
  echo "make test: the step \"${failed_step:-start}\" failed (exit $status); the whole run is in $log"
  exit "$status"
fi

step "all tests passed"
# ctest closes each run with "N% tests passed, F tests failed out of T";
# windows.sh names each build it skipped with the number of its tests.
awk '/tests passed, [0-9]+ tests? failed out of/ { failed += $4; total += $NF }
     /^windows: .* tests skipped \([0-9]+ tests?\)/ { match($0, /\([0-9]+/); skipped += substr($0, RSTART + 1, RLENGTH - 1) }
     END { printf "%d passed, %d failed, %d skipped\n", total - failed, failed, skipped }' "$log"
