#!/usr/bin/env bash
# Builds the packages and checks them: lintian on the .deb, the .deb installed into a scratch root
# (dpkg -x) and its binary run on the example trees; the Windows zip's names and, under Wine, its
# Korvo.exe.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/make-packages.sh >/dev/null
deb=$(ls build/packages/korvo_*.deb)
zip_option=()
if ls build/packages/Korvo-*-win64.zip >/dev/null 2>&1; then
  zip_option=(--zip "$(ls build/packages/Korvo-*-win64.zip)")
else
  echo "No Windows zip to check: the Windows toolchain file is not there."
fi

# Wine runs the Russian tree also under ru_RU.UTF-8, whose ANSI code page is 1251.
locales=$PWD/build/locale
if [ ! -d "$locales/ru_RU.UTF-8" ]; then
  mkdir -p "$locales"
  localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8"
fi
python3 tests/packaging/check_packages.py --deb "$deb" "${zip_option[@]}" --source . \
  --work build/package-check --locales "$locales"
