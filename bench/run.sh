#!/usr/bin/env bash
# Builds the release preset and times whole runs of Korvo at 60 to 1,000,000 aspects against the
# `cat` floor; prints the table. Extra arguments go to bench/measure.py (e.g. --sizes 1000,10000).
# With --micro, runs the micro-benchmarks of the release build instead. With --encodings, times a
# 1,000,000-aspect Russian list in UTF-8 against its Windows-1251 twin (bench/measure_encodings.py;
# extra arguments go to it, e.g. --korvo-before for an earlier build).
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
if [ "${1:-}" = "--encodings" ]; then
  shift
  exec python3 bench/measure_encodings.py --korvo build/release/src/korvo "$@"
fi
exec python3 bench/measure.py --korvo build/release/src/korvo "$@"
