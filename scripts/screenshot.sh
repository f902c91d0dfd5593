#!/usr/bin/env bash
# Renders the page of the bundled English natal example with headless chromium into
# docs/page-en-natal.png, the picture the README shows. Run it again when the page changes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/headless-chromium.sh
source scripts/build-and-run.sh

build_korvo release
tree=build/screenshot/en-natal
run_in_copied_tree en-natal "$tree" "$korvo"

# The window fits the three tables side by side and the planet table's full length.
headless_chromium --hide-scrollbars --window-size=1220,1580 \
  --screenshot="$PWD/docs/page-en-natal.png" "file://$PWD/$tree/Wrk/Aspects.html" >/dev/null
echo "Wrote docs/page-en-natal.png"
