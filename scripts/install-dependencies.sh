#!/usr/bin/env bash
# Installs the Debian packages that building and testing Korvo need, on a fresh machine too.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3       # build and end-to-end tests
  libgtest-dev googletest             # unit tests
  libbenchmark-dev                    # micro-benchmarks (built and smoke-run by the tests)
)

run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

run_as_root apt-get update -q
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "${packages[@]}"
