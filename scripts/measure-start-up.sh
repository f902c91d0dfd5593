#!/usr/bin/env bash
# Measures what a small run costs in the program the Debian package installs (dynamically linked,
# hardened) against the static release build: both convert the same 60-aspect working tree, in
# ROUNDS interleaved rounds of `perf stat -r 50` each (default 5), and the median CPU time a run
# (task-clock: user + sys) of each program is printed, with the dynamic loader's relocation count.
# CPU time rather than wall time, because other work shares the machine. Needs linux-perf.
#   scripts/measure-start-up.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-and-run.sh
rounds=${1:-5}

scripts/make-packages.sh >/dev/null
build_korvo release
work=$PWD/build/start-up
rm -rf "$work"
mkdir -p "$work"
dpkg -x "$(ls build/packages/korvo_*.deb)" "$work/root"
python3 bench/generate_aspects.py 60 "$work/tree"
declare -A programs=([installed-dynamic]=$work/root/usr/bin/korvo [release-static]=$korvo)

for _ in $(seq "$rounds"); do
  for name in "${!programs[@]}"; do
    milliseconds=$(cd "$work/tree" && perf stat -r 50 -x, -e task-clock "${programs[$name]}" \
      2>&1 >/dev/null | awk -F, '/task-clock/ { print $1 }')
    echo "$name $milliseconds" >>"$work/times"
  done
done
for name in "${!programs[@]}"; do
  median=$(awk -v name="$name" '$1 == name { print $2 }' "$work/times" | sort -n |
    awk '{ times[NR] = $1 } END { print times[int((NR + 1) / 2)] }')
  echo "$name: median $median ms CPU a run over $rounds x 50 runs"
done
(cd "$work/tree" && LD_DEBUG=statistics "${programs[installed-dynamic]}" 2>&1 |
  sed -n 's/^ *[0-9]*:[[:space:]]*final number of relocations: */installed-dynamic: relocations /p')
