#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS seconds each (default 10):
#   scripts/fuzz.sh SECONDS
# Configures build-fuzz with clang and -DKELVAR_FUZZ=ON, builds the targets,
# and runs each on its working corpus in build-fuzz/corpus/<target> (kept
# between runs, grows with what the fuzzer finds) seeded from
# fuzz/corpus/<target>.  A crash leaves its input in build-fuzz/artifacts/
# and fails the script.
set -euo pipefail
seconds=${1:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
targets=(fuzz_profile_value fuzz_check_path fuzz_lookup_remark)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (Debian: clang libclang-rt-14-dev)" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELVAR_FUZZ=ON -DKELVAR_TESTS=OFF -DKELVAR_QT=OFF >/dev/null
cmake --build "$build" --target kelvar_fuzzers -j 2

mkdir -p "$build/artifacts" "$build/logs"
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  log=$build/logs/$t.log
  mkdir -p "$corpus"
  echo "fuzz.sh: $t for ${seconds}s (log: $log)"
  if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
      "$corpus" "$root/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz.sh: $t FAILED; the input is in $build/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" | sed 's/^/  /'
done
echo "fuzz.sh: all targets ran ${seconds}s without a finding"
