#!/usr/bin/env bash
# Builds the asan preset (AddressSanitizer and UndefinedBehaviorSanitizer, halting on the first
# error) and runs every unit and end-to-end test under it.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset asan
