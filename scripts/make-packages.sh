#!/usr/bin/env bash
# Builds the packages into build/packages: the Debian package from an optimised build, and the
# Windows zip when the Windows toolchain file is there (cmake/mingw-w64-x86_64.cmake).
# Prints the path of each package made, one a line.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=$PWD/build/packages
mkdir -p "$packages"

# The release preset links statically for start-up speed; a Debian package links the shared C and
# C++ runtimes and names them as its dependencies, as Debian expects. It is compiled and linked
# with the flags of Debian's dpkg-buildflags and all of its hardening (fortify, stack protector,
# relro and bindnow). Every name in it is UTF-8, so CPack reads them in a UTF-8 locale.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
deb_build=build/deb-package
cmake --preset release -B "$deb_build" -DKORVO_STATIC_LINK=OFF -DKORVO_BUILD_BENCHMARKS=OFF \
  -DKORVO_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$deb_build" >/dev/null
rm -f "$packages"/*.deb
(cd "$deb_build" && LC_ALL=C.UTF-8 cpack -G DEB -B "$packages" >"$packages/cpack-deb.log" 2>&1) ||
  { cat "$packages/cpack-deb.log" >&2; exit 1; }
ls "$packages"/*.deb

# The zip ships an optimised Korvo.exe from a build of its own (the windows preset's toolchain,
# Release, no tests). It stores Unicode names with its UTF-8 flag, which CPack sets in a UTF-8
# locale.
if [ -f cmake/mingw-w64-x86_64.cmake ]; then
  windows_build=build/windows-package
  cmake --preset windows -B "$windows_build" -DCMAKE_BUILD_TYPE=Release \
    -DKORVO_BUILD_TESTS=OFF -DKORVO_WARNINGS_AS_ERRORS=OFF >/dev/null
  cmake --build "$windows_build" >/dev/null
  rm -f "$packages"/*.zip
  (cd "$windows_build" &&
    LC_ALL=C.UTF-8 cpack -G ZIP -B "$packages" >"$packages/cpack-zip.log" 2>&1) ||
    { cat "$packages/cpack-zip.log" >&2; exit 1; }
  ls "$packages"/*.zip
fi
