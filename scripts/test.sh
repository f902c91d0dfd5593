#!/usr/bin/env bash
# Installs what the tests need, then builds Korvo and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
scripts/test-linux.sh
scripts/test-windows.sh
scripts/test-packages.sh
scripts/test-browser.sh
