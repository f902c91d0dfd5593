#!/usr/bin/env bash
# Installs what the tests need, then builds Korvo and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh test
scripts/test-linux.sh
scripts/test-windows.sh
scripts/test-packages.sh
scripts/test-browser.sh
scripts/test-asan.sh        # every test again under AddressSanitizer and UBSan
scripts/test-valgrind.sh    # complete example runs under Valgrind memcheck
scripts/fuzz.sh             # each fuzz target for a bounded time, about a minute in all
