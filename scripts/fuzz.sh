#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs each for
# about 30 seconds (FUZZ_SECONDS), starting from its seeds under fuzz/corpus/<name>.
# A crash, a sanitizer report, a hang or a leak fails the run.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
dir=build-fuzz
targets=(formula remote bars tdx csv)
echo "=== $dir"
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_FUZZ=ON -DVANTOR_TESTS=OFF -DVANTOR_BENCH=OFF >/dev/null || exit 1
cmake --build "$dir" --target "${targets[@]/%/_fuzz}" || exit 1

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for name in "${targets[@]}"; do
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work"/
  "$dir/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$dir/${name}-" "$work" \
    2>"$dir/$name.log"
  rc=$?
  rm -rf "$work"
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|SUMMARY|Done' "$dir/$name.log"
  if [ $rc -ne 0 ]; then
    tail -n 60 "$dir/$name.log"
    echo "${name}_fuzz FAILED (artifacts in $dir/)"
    status=1
  else
    echo "${name}_fuzz passed"
  fi
done
exit $status
