# shellcheck shell=bash
# Sourced by the scripts that render a page: runs Debian's chromium headless, as it must run here.
# As root it needs --no-sandbox; without the network switches it can hang on look-ups it cannot
# make; a fresh profile each time keeps runs apart. Its chatter goes to a file shown on failure.
headless_chromium() {
  local profile status=0
  profile=$(mktemp -d)
  local sandbox=()
  if [ "$(id -u)" -eq 0 ]; then sandbox=(--no-sandbox); fi
  timeout 120 chromium --headless "${sandbox[@]}" --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile/profile" "$@" 2>"$profile/stderr" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "chromium failed with $status:" >&2
    cat "$profile/stderr" >&2
  fi
  rm -rf "$profile"
  return "$status"
}
