#!/usr/bin/env bash
# Builds the coverage preset (gcov), runs the unit and end-to-end tests, and prints the line and
# branch coverage of src/: a summary per file, then the lines whose branches are not all taken.
# Branches that only the compiler adds (exception paths of the standard library) are left out.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage --parallel "$(nproc)" >build/coverage/ctest.log 2>&1 || {
  cat build/coverage/ctest.log
  exit 1
}
tail -n 3 build/coverage/ctest.log

gcovr_options=(--root . --object-directory build/coverage --filter 'src/'
               --exclude-throw-branches --exclude-unreachable-branches)
echo "== lines of src/"
gcovr "${gcovr_options[@]}" --txt
echo "== branches of src/"
gcovr "${gcovr_options[@]}" --txt --branches
gcovr "${gcovr_options[@]}" --print-summary --output /dev/null
