#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs each for
# about 30 seconds (FUZZ_SECONDS), starting from the seed texts under fuzz/corpus.
# A crash, a sanitizer report, a hang or a leak fails the run.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
dir=build-fuzz
echo "=== $dir"
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_FUZZ=ON -DVANTOR_TESTS=OFF -DVANTOR_BENCH=OFF >/dev/null || exit 1
cmake --build "$dir" --target formula_fuzz || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp fuzz/corpus/* "$work"/
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$dir/fuzz/formula_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=4096 -print_final_stats=1 -artifact_prefix="$dir/" "$work" 2>"$dir/fuzz.log"
rc=$?
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|SUMMARY|Done' "$dir/fuzz.log"
if [ $rc -ne 0 ]; then
  tail -n 60 "$dir/fuzz.log"
  echo "formula_fuzz FAILED (artifacts in $dir/)"
  exit 1
fi
echo "formula_fuzz passed"
