#!/usr/bin/env bash
# The page in a real browser: headless chromium renders the pages of complete runs on the two
# example trees (English natal; Russian transit with its windows-1251 charset), and the DOM it
# built must hold the three tables, their rows and header titles, and the degree signs and
# Cyrillic names as the right characters (tests/browser/check_rendered_page.py). As a control,
# a page that declares the wrong charset must fail the same check. Skipped without chromium.
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

# render PAGE DOM: the DOM chromium built from the page.
render() { headless_chromium --dump-dom "file://$1" >"$2"; }

# check_example TREE LANGUAGE MODE [OPTIONS...]: converts a copy of the tree and checks its page.
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
  if python3 tests/browser/check_rendered_page.py --dom "$work/$tree.dom" --tree "$work/$tree" \
    --language "$language" --mode "$mode"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
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
  if grep -q -E '^FAILED: .*(mojibake|degree sign|Cyrillic)' "$page.check"; then
    echo "$page.dom: rejected for its characters, as it must be"
    passed=$((passed + 1))
  else
    echo "FAILED: the check did not find the wrong characters of $page:"
    cat "$page.check"
    failed=$((failed + 1))
  fi
}

check_example en-natal en natal
check_example ru-transit ru transit -2
check_wrong_charset en-natal en natal '<head>' '<head><meta charset="utf-8">'
check_wrong_charset ru-transit ru transit 'charset=windows-1251' 'charset=windows-1252'
echo "browser: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
