#!/usr/bin/env bash
# Installs what building needs, builds Korvo and converts the bundled English natal example in a
# copy of its working tree.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-and-run.sh

scripts/install-dependencies.sh build
build_korvo release
example_tree=build/example/en-natal
status=0
run_in_copied_tree en-natal "$example_tree" "$korvo" || status=$?
echo "Korvo exited with $status."
echo "Page: $example_tree/Wrk/Aspects.html"
echo "Log:  $example_tree/Korvo.log"
exit "$status"
