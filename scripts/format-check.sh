#!/usr/bin/env bash
# Every C and C++ file of the project on .clang-format.  Names each file that
# drifts; `scripts/format-check.sh --fix` puts them right.  The floors in
# bench/ are copies of the measuring sticks the benchmarks compare against,
# kept byte for byte as they came.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^bench/.*_floor\.c$')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
drift=()
for f in "${files[@]}"; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || drift+=("$f")
done
if [ ${#drift[@]} -gt 0 ]; then
  printf 'format: %s is not on .clang-format\n' "${drift[@]}"
  echo "format: ${#drift[@]} of ${#files[@]} files drift; scripts/format-check.sh --fix puts them right"
  exit 1
fi
echo "format: all ${#files[@]} files on .clang-format"
