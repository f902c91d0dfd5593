#!/usr/bin/env bash
# Builds the debug preset and runs the unit and end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset debug
