#!/usr/bin/env bash
# Runs the debug build under Valgrind's memcheck for complete runs of the bundled examples:
# English natal and Russian transit (-2), each also with the grid page (-g). Fails on any memory error or leak, on an exit code
# other than 0, or on a log that does not end with the completion line.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-and-run.sh

build_korvo debug
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_example() {
  local example=$1
  shift
  echo "valgrind: $example $*"
  run_in_copied_tree "$example" "$work/$example" \
    valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=all \
    --errors-for-leak-kinds=definite,indirect,possible "$korvo" "$@"
  if [ "$(tail -c 18 "$work/$example/Korvo.log")" != "Korvo completed OK" ]; then
    echo "FAILED: $example did not complete:" >&2
    cat "$work/$example/Korvo.log" >&2
    exit 1
  fi
  [ -s "$work/$example/Wrk/Aspects.html" ] || { echo "FAILED: $example wrote no page" >&2; exit 1; }
}

run_example en-natal
run_example ru-transit -2
run_example en-natal -g
run_example ru-transit -2 -g
echo "valgrind: no errors, no leaks"
