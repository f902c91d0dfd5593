#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs each for a bounded time; fails on
# any finding (crash, sanitizer report, failed check, leak, time-out).
#   scripts/fuzz.sh            15 seconds per target, 75 seconds in all (the test command)
#   scripts/fuzz.sh 600        ten minutes per target
#   scripts/fuzz.sh 60 fuzz_whole_run   one target only
# Each target starts from its seed corpus fuzz/corpus/<target>/ and from what earlier runs on
# this machine found (build/fuzz-corpus/<target>/). A finding is saved under
# build/fuzz-findings/; replay it with build/fuzz/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-15}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_aspect_lines fuzz_name_files fuzz_whole_run fuzz_command_line fuzz_line_reading)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz-findings build/fuzz-logs
total_runs=0
for target in "${targets[@]}"; do
  work_corpus=$root/build/fuzz-corpus/$target
  log=$root/build/fuzz-logs/$target.log
  mkdir -p "$work_corpus"
  echo "fuzzing $target for ${seconds}s"
  status=0
  # Paths are absolute: the whole-run target works in a temporary directory of its own.
  "$root/build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$root/build/fuzz-findings/$target-" \
    "$work_corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
    tail -n 40 "$log"
    echo "FAILED: $target found a fault (exit $status); log: $log" >&2
    exit 1
  fi
  echo "  $runs executions, nothing found"
  total_runs=$((total_runs + runs))
done
echo "fuzzing: $total_runs executions in all, nothing found"
