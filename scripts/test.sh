#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# a normal build and a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)
status=0

run_suite() {
  local dir=$1; shift
  echo "=== $dir"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" || return 1
  local rc=0
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure >"$dir/ctest.log" 2>&1 || rc=$?
  # Passing tests are one line each; show everything else (failures, summary).
  grep -v -E '^ *([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+:)' "$dir/ctest.log" | tail -n 300
  return $rc
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo || status=1
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON -DVANTOR_BENCH=OFF || status=1

if [ -x scripts/fuzz.sh ] && command -v clang++ >/dev/null; then
  bash scripts/fuzz.sh || status=1
fi

[ $status -eq 0 ] && echo "All test runs passed." || echo "Some test runs FAILED."
exit $status
