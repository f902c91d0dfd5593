#!/usr/bin/env bash
# Installs the Debian packages of one group, on a fresh machine too:
#   scripts/install-dependencies.sh build   what building the program needs (scripts/run-example.sh)
#   scripts/install-dependencies.sh test    that and everything the tests use (scripts/test.sh);
#                                           also the default
set -euo pipefail

build_packages=(
  cmake ninja-build g++               # the program, with the release or debug preset
)
test_packages=(
  g++-mingw-w64-x86-64-posix          # Korvo.exe, the Windows build
  wine wine64 locales                 # running Korvo.exe and its tests under Wine
  python3                             # end-to-end tests, packaging and browser checks
  libgtest-dev googletest             # unit tests
  dpkg-dev groff-base gzip lintian    # packages: dpkg-shlibdeps, the man page, Debian's checks
  unzip                               # the Windows zip unpacked as its users unpack it
  chromium                            # the page checked in a real browser
  fonts-symbola fonts-noto-core       # fonts a desktop has, which the browser check must meet
  default-jre-headless                # runs the Nu HTML Checker (npm's vnu-jar) on the grid page
  poppler-utils                       # pdftotext: where the printed grid's labels stand
  clang libclang-rt-14-dev            # fuzz targets (libFuzzer)
  valgrind gcovr                      # memcheck runs, coverage report
  strace                              # read errors injected into end-to-end runs
  libbenchmark-dev                    # micro-benchmarks (built and smoke-run by the tests)
)

group=${1:-test}
case "$group" in
  build) packages=("${build_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [build | test]" >&2
    exit 2
    ;;
esac

# npm installs the Nu HTML Checker for the browser check. A Node.js that brings its own npm keeps it:
# Debian's npm package would replace that Node.js.
if [ "$group" = test ] && ! command -v npm >/dev/null; then packages+=(npm); fi

run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

run_as_root apt-get update -q
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "${packages[@]}"

# Wine runs the Windows tests under this locale, whose code set is CP1251 (scripts/test-windows.sh).
if [ "$group" = test ] && [ "$(LC_ALL=ru_RU.CP1251 locale charmap 2>/dev/null)" != CP1251 ]; then
  run_as_root localedef -i ru_RU -f CP1251 ru_RU.CP1251
fi
