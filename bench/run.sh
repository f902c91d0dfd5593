#!/usr/bin/env bash
# Builds the release preset and times whole runs of Korvo at 60 to 1,000,000 aspects against the
# `cat` floor; prints the table. Extra arguments go to bench/measure.py (e.g. --sizes 1000,10000).
# With --micro, runs the micro-benchmarks of the release build instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
# The timed runs also need /usr/bin/time, which the tests do not.
run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if [ ! -x /usr/bin/time ] || ! dpkg -s libbenchmark-dev >/dev/null 2>&1; then
  run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    time libbenchmark-dev
fi

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

if [ "${1:-}" = "--micro" ]; then
  shift
  exec build/release/bench/korvo_micro_benchmarks "$@"
fi
exec python3 bench/measure.py --korvo build/release/src/korvo "$@"
