#!/usr/bin/env bash
# Installs the Debian packages that building and testing Korvo need, on a fresh machine too.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix          # Korvo.exe, the Windows build
  wine wine64 locales                 # running Korvo.exe and its tests under Wine
  cmake ninja-build g++ python3       # build and end-to-end tests
  libgtest-dev googletest             # unit tests
  dpkg-dev groff-base gzip            # packages: dpkg-shlibdeps, the man page
  chromium                            # the page checked in a real browser
  clang libclang-rt-14-dev            # fuzz targets (libFuzzer)
  valgrind gcovr                      # memcheck runs, coverage report
  libbenchmark-dev                    # micro-benchmarks (built and smoke-run by the tests)
)

run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

run_as_root apt-get update -q
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "${packages[@]}"

# Wine runs the Windows tests under this locale, whose code page is 1251 (scripts/test-windows.sh).
if [ "$(LC_ALL=ru_RU.CP1251 locale charmap 2>/dev/null)" != CP1251 ]; then
  run_as_root localedef -i ru_RU -f CP1251 ru_RU.CP1251
fi
