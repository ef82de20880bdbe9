#!/usr/bin/env bash
# A configure with QUILLON_SDK_DIR where there is no MSVC stops with its message and leaves the
# build folder usable: the next configure of the same folder without the option succeeds, and so
# does one where the variable is only in the environment (as CI sets it for the SDK check).
# Usage: sdk-dir-configure-test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
build=$(mktemp -d)
configure() { # [CMAKE ARGUMENT...]
  cmake -S "$source_dir" -B "$build" -G Ninja -DBUILD_TESTING=OFF "$@" >"$build.out" 2>&1
}
fail() {
  echo "FAIL: $*"
  cat "$build.out"
  exit 1
}
trap 'rm -rf "$build" "$build.out"' EXIT

if configure -DQUILLON_SDK_DIR="$build"; then fail "a configure with QUILLON_SDK_DIR succeeded"; fi
grep -q "QUILLON_SDK_DIR builds the plugin for the real host, which needs MSVC" "$build.out" ||
  fail "the configure with QUILLON_SDK_DIR did not say why it stopped"
configure || fail "the configure without the option after one with it failed"
QUILLON_SDK_DIR=$build configure || fail "the configure with QUILLON_SDK_DIR in the environment failed"
grep -q "QUILLON_SDK_DIR in the environment is not used" "$build.out" ||
  fail "the configure did not say that it leaves the environment's QUILLON_SDK_DIR alone"
echo "ok: the build folder is usable after a configure with QUILLON_SDK_DIR"
