#!/usr/bin/env bash
# Builds Korvo and converts the bundled English natal example in a copy of its working tree.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

example_tree=build/example/en-natal
rm -rf "$example_tree"
mkdir -p "$(dirname "$example_tree")"
cp -r examples/en-natal "$example_tree"
status=0
(cd "$example_tree" && ../../release/src/korvo) || status=$?
echo "Korvo exited with $status."
echo "Page: $example_tree/Wrk/Aspects.html"
echo "Log:  $example_tree/Korvo.log"
exit "$status"
