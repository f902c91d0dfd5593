# shellcheck shell=bash
# Sourced by the scripts that build Korvo and run it on a copy of an example working tree. The
# program is built without the tests and benchmarks, in a build folder of its own per preset
# (build/<preset>-program), so that building it needs only the `build` packages of
# scripts/install-dependencies.sh and leaves the presets' own build folders as they are.

# build_korvo PRESET: configures and builds the program of PRESET; sets `korvo` to its path.
build_korvo() {
  local preset=$1 binary_dir=$PWD/build/$1-program
  cmake --preset "$preset" -B "$binary_dir" -DKORVO_BUILD_TESTS=OFF \
    -DKORVO_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$binary_dir" --target korvo >/dev/null
  # shellcheck disable=SC2034  # read by the scripts that source this file
  korvo=$binary_dir/src/korvo
}

# run_in_copied_tree TREE COPY COMMAND...: copies examples/TREE afresh to COPY and runs COMMAND
# there (typically "$korvo" and its arguments, or a tool wrapping it); returns COMMAND's status.
# The copy keeps the source tree clean: a run writes its page and Korvo.log into the tree.
run_in_copied_tree() {
  local tree=$1 copy=$2
  shift 2
  rm -rf "$copy"
  mkdir -p "$(dirname "$copy")"
  cp -r "examples/$tree" "$copy"
  (cd "$copy" && "$@")
}
