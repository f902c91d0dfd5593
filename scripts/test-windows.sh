#!/usr/bin/env bash
# Cross-builds Korvo.exe (windows preset) and runs the unit and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

# Wine reads the names on disk and the arguments in the locale's code set: under CP1251 the
# Windows-1251 names of the Russian trees are Russian letters for Korvo.exe, which takes every
# name in UTF-8, as the zip's names are on Windows. Cases that name another locale run in it
# (tests/e2e/run_e2e.py). scripts/install-dependencies.sh test creates this locale.
wine_locale=ru_RU.CP1251
if [ "$(LC_ALL=$wine_locale locale charmap 2>/dev/null)" != CP1251 ]; then
  echo "The locale $wine_locale is missing; run scripts/install-dependencies.sh test." >&2
  exit 1
fi

cmake --preset windows
cmake --build --preset windows

# Wine keeps its Windows installation here; -all keeps its diagnostics off the test output.
export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all LC_ALL=$wine_locale

# Start a wineserver that stays up for the whole run, so each test's Wine process starts in a
# fraction of a second, and Wine's services start here rather than inside a test, where they
# would hold on to the test runner's output. It must start before anything else of Wine: a
# server that wineboot starts on its own quits when idle (Debian's wineserver script passes
# -p0), a later "wineserver -p" finds it running and does nothing, and every test then starts
# Wine anew, for seconds each. The server is stopped whatever the tests give.
stop_wine() { wineserver -k >/dev/null 2>&1 </dev/null || true; }
trap stop_wine EXIT
mkdir -p "$WINEPREFIX"
(wineserver -p >/dev/null 2>&1 </dev/null &)
wineboot -i >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null

# Now and then Wine fails to start a test's process at all: it ends at once, having printed
# nothing. Such a test is run once more, so that one failed start does not fail the suite.
ctest --preset windows -j "$(nproc)" --repeat until-pass:2
