#!/usr/bin/env bash
# Renders the pictures the README shows with headless chromium: the page of the bundled English
# natal example (docs/page-en-natal.png) and the grid pages of both examples, English natal
# (docs/grid-en-natal.png) and Russian transit (docs/grid-ru-transit.png), and the English grid
# on a phone 390 CSS px wide, an aspect touched (docs/grid-en-natal-phone.png). Run it again when
# the page or the grid page changes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/headless-chromium.sh
source scripts/build-and-run.sh

build_korvo release

# shot PAGE PICTURE WIDTH HEIGHT: renders the page into docs/PICTURE in a window of that size.
shot() {
  headless_chromium --hide-scrollbars --window-size="$3,$4" \
    --screenshot="$PWD/docs/$2" "file://$PWD/$1" >/dev/null
  echo "Wrote docs/$2"
}

run_in_copied_tree en-natal build/screenshot/en-natal "$korvo" -g
run_in_copied_tree ru-transit build/screenshot/ru-transit "$korvo" -2 -g
# The window fits the three tables side by side and the planet table's full length.
shot build/screenshot/en-natal/Wrk/Aspects.html page-en-natal.png 1220 1580
# Each window fits its grid and legend.
shot build/screenshot/en-natal/Wrk/Aspects-grid.html grid-en-natal.png 1010 1010
shot build/screenshot/ru-transit/Wrk/Aspects-grid.html grid-ru-transit.png 840 880
python3 tests/browser/check_rendered_grid.py phone build/screenshot/en-natal/Wrk/Aspects-grid.html \
  --screenshot docs/grid-en-natal-phone.png
echo "Wrote docs/grid-en-natal-phone.png"
