#!/usr/bin/env bash
# The page in a real browser: headless chromium renders the pages of complete runs on the two
# example trees (English natal; Russian transit with its windows-1251 charset), and the DOM it
# built must hold the three tables, their rows and header titles, and the degree signs and
# Cyrillic names as the right characters (tests/browser/check_rendered_page.py). The runs ask for
# the grid page too (-g), and its render must hold each aspect once in the cell of its points,
# the totals and counts, every label glyph drawn (none as the box of a glyph no font holds), every
# drawn symbol with a shape and the point glyphs of one height, a focused aspect's text shown; on
# a phone 390 CSS px wide no text under 10 px; printed it must be one A4 page
# (tests/browser/check_rendered_grid.py). A grid of 40 columns must print every column on each
# page. The W3C Nu HTML Checker (npm's vnu-jar, installed into build/nu-checker, run by Java) must
# report no error on the grids. As controls, a page that declares the wrong charset, a grid with a
# glyph no font holds, one that lacks a symbol, one with a glyph half as tall, one without its
# viewport and a grid in Windows-1251 must fail the same checks. Skipped without chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/headless-chromium.sh
source scripts/build-and-run.sh

if ! command -v chromium >/dev/null; then
  echo "Browser check skipped: chromium is not installed."
  exit 0
fi

build_korvo release
work=$PWD/build/browser-check
rm -rf "$work"
mkdir -p "$work"
passed=0
failed=0

# install_nu_checker: sets `nu_checker` to the checker's jar, installed with npm on first use
# (without its install script, which would fetch a Java of its own).
install_nu_checker() {
  local folder=$PWD/build/nu-checker
  nu_checker=$folder/node_modules/vnu-jar/build/dist/vnu.jar
  if [ ! -f "$nu_checker" ]; then
    npm install --prefix "$folder" --ignore-scripts --no-audit --no-fund vnu-jar >/dev/null
  fi
}

# check_html PAGE: the Nu HTML Checker finds no error in the page; its findings also go to
# PAGE.nu.
check_html() {
  if java -jar "$nu_checker" --errors-only "$1" >"$1.nu" 2>&1; then
    echo "$(basename "$1"): no error in the Nu HTML Checker"
    return 0
  fi
  sed 's/^/FAILED: /' "$1.nu"
  return 1
}

# render PAGE DOM: the DOM chromium built from the page.
render() { headless_chromium --dump-dom "file://$1" >"$2"; }

# tally COMMAND...: runs one check and counts it as passed or failed.
tally() {
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
}

# check_example TREE LANGUAGE MODE [OPTIONS...]: converts a copy of the tree and checks its page
# and, when the options ask for it, its grid page on screen and printed.
check_example() {
  local tree=$1 language=$2 mode=$3
  shift 3
  local status=0
  run_in_copied_tree "$tree" "$work/$tree" "$korvo" "$@" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED: korvo $* exited with $status in $tree"
    failed=$((failed + 1))
    return
  fi
  render "$work/$tree/Wrk/Aspects.html" "$work/$tree.dom"
  tally python3 tests/browser/check_rendered_page.py --dom "$work/$tree.dom" --tree "$work/$tree" \
    --language "$language" --mode "$mode"
  tally check_grid "$work/$tree/Wrk/Aspects-grid.html" "$tree" "$language" "$mode"
  tally check_html "$work/$tree/Wrk/Aspects-grid.html"
  headless_chromium --no-pdf-header-footer --print-to-pdf="$work/$tree-grid.pdf" \
    "file://$work/$tree/Wrk/Aspects-grid.html" >/dev/null
  tally python3 tests/browser/check_rendered_grid.py a4 "$work/$tree-grid.pdf"
}

# check_grid GRID TREE LANGUAGE MODE: renders the grid page with the probe that measures its
# glyphs and symbols, and checks the DOM; what it prints also goes to GRID.check.
check_grid() {
  local grid=$1 tree=$2 language=$3 mode=$4
  python3 tests/browser/check_rendered_grid.py probe "$grid" "$grid.probe.html"
  render "$grid.probe.html" "$grid.dom"
  python3 tests/browser/check_rendered_grid.py phone "$grid.probe.html" --findings "$grid.phone.json"
  python3 tests/browser/check_rendered_grid.py check --dom "$grid.dom" --tree "$work/$tree" \
    --language "$language" --mode "$mode" --phone "$grid.phone.json" 2>&1 | tee "$grid.check"
  return "${PIPESTATUS[0]}"
}

# expect_rejected REPORT PATTERN WHAT: a control holds when the report of its check has a failure
# that matches PATTERN.
expect_rejected() {
  local report=$1 pattern=$2 what=$3
  if grep -q -E "^FAILED: .*($pattern)" "$report"; then
    echo "$what: rejected ($pattern), as it must be"
    passed=$((passed + 1))
  else
    echo "FAILED: the check did not reject $what:"
    cat "$report"
    failed=$((failed + 1))
  fi
}

# check_broken_grid TREE LANGUAGE MODE FROM TO PATTERN: the grid page with FROM replaced by TO
# must fail the grid check with a line matching PATTERN.
check_broken_grid() {
  local tree=$1 language=$2 mode=$3 from=$4 to=$5 pattern=$6
  local grid=$work/$tree-broken-grid.html
  LC_ALL=C sed "s|$from|$to|g" "$work/$tree/Wrk/Aspects-grid.html" >"$grid"
  check_grid "$grid" "$tree" "$language" "$mode" >/dev/null || true
  expect_rejected "$grid.check" "$pattern" "$grid"
}

# check_wrong_charset TREE LANGUAGE MODE FROM TO: the page with its head's FROM replaced by TO
# shows the wrong characters, and the check must fail on them.
check_wrong_charset() {
  local tree=$1 language=$2 mode=$3 from=$4 to=$5
  local page=$work/$tree-wrong-charset.html
  LC_ALL=C sed "s|$from|$to|" "$work/$tree/Wrk/Aspects.html" >"$page"
  render "$page" "$page.dom"
  python3 tests/browser/check_rendered_page.py --dom "$page.dom" --tree "$work/$tree" \
    --language "$language" --mode "$mode" >"$page.check" 2>&1 || true
  expect_rejected "$page.check" "mojibake|degree sign|Cyrillic" "$page.dom"
}

# check_grid_in_code_page TREE: the grid page converted back to Windows-1251, as grid pages were
# written before they were UTF-8, must fail the Nu HTML Checker.
check_grid_in_code_page() {
  local grid=$work/$1-cp1251-grid.html
  sed 's/charset="utf-8"/charset="windows-1251"/' "$work/$1/Wrk/Aspects-grid.html" |
    iconv -f utf-8 -t cp1251 >"$grid"
  check_html "$grid" >/dev/null || true
  sed 's/^/FAILED: /' "$grid.nu" >"$grid.check"
  expect_rejected "$grid.check" "charset|encoding" "$grid"
}

# check_wide_grid_on_paper: a transit grid of 40 columns printed shows every column on each page.
check_wide_grid_on_paper() {
  local tree=$work/wide
  python3 tests/browser/check_rendered_grid.py wide-tree "$tree"
  if ! (cd "$tree" && "$korvo" -2 -g); then
    echo "FAILED: korvo -2 -g exited with an error in $tree"
    failed=$((failed + 1))
    return
  fi
  headless_chromium --no-pdf-header-footer --print-to-pdf="$work/wide-grid.pdf" \
    "file://$tree/Wrk/Aspects-grid.html" >/dev/null
  tally python3 tests/browser/check_rendered_grid.py paper "$work/wide-grid.pdf"
}

install_nu_checker
check_example en-natal en natal -g
check_example ru-transit ru transit -2 -g
check_wrong_charset en-natal en natal '<head>' '<head><meta charset="utf-8">'
check_wrong_charset ru-transit ru transit 'charset=windows-1251' 'charset=windows-1252'
check_wide_grid_on_paper
# U+FDD1 is a noncharacter, which no font holds.
check_broken_grid en-natal en natal '<svg class="glyph"><use href="#sun"/></svg>' '\&#64977;' \
  'missing glyph'
check_broken_grid en-natal en natal '<symbol id="venus" viewBox="0 0 20 20">' \
  '<symbol id="venus" viewBox="0 0 40 40">' 'ink height'
check_broken_grid ru-transit ru transit '<meta name="viewport"' '<meta name="x"' \
  'no viewport|lays the page out'
check_broken_grid ru-transit ru transit '<symbol id="trine"' '<symbol id="gone"' \
  'symbols without a shape'
check_grid_in_code_page ru-transit
echo "browser: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
