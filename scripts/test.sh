#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure. With the
# default preset it also checks the Windows build under Wine, where the MinGW-w64 toolchain and
# Wine are installed (scripts/setup.sh windows installs them; CI always has them).
# Usage: scripts/test.sh [PRESET]   (default, or asan for the sanitizer build)
# It prints only the tests that fail, each with its output, and a short summary (the builds and
# the Windows check, too, are shown only when they fail); with VERBOSE=1 everything is shown,
# every test with its line as ctest writes them.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
verbose=${VERBOSE:-0}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Runs a step with its output kept aside, shown only if the step fails (or with VERBOSE=1).
quietly() {
  if [[ $verbose == 1 ]]; then
    "$@"
  elif ! "$@" >"$log" 2>&1; then
    cat "$log"
    echo "test: failed: $*" >&2
    exit 1
  fi
}

quietly scripts/setup.sh "$preset"
# The code follows .clang-format; a file that does not fails the run.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
if [[ $verbose == 1 ]]; then
  ctest --preset "$preset" -j 2
else
  status=0
  ctest --preset "$preset" -j 2 >"$log" 2>&1 || status=$?
  # A result line opens a test's block (shown unless it passed); the output of a failing test
  # follows its result line; the summary starts at "tests passed". Dot padding is dropped.
  awk '
    /^ *Start +[0-9]+:/ { show = 0; next }
    /^ *[0-9]+\/[0-9]+ Test +#[0-9]+:/ {
      show = $0 !~ / Passed +[0-9.]+ sec$/
      gsub(/ \.\.\.+ ?/, " ")
    }
    /^[0-9]+% tests passed/ { summary = 1 }
    show || summary { print }
  ' "$log"
  # A run that never got to its summary (no tests found, ctest itself failing) is shown whole.
  grep -q '% tests passed' "$log" || cat "$log"
  if ((status != 0)); then exit "$status"; fi
fi

if [[ $preset == default ]]; then
  if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
    quietly scripts/windows-check.sh
    # Its last line is its summary.
    [[ $verbose == 1 ]] || tail -n 1 "$log"
  elif [[ ${CI:-} == true ]]; then
    echo "test: CI must check the Windows build, but MinGW-w64 or Wine is missing" >&2
    exit 1
  else
    echo "test: Windows build not checked (no MinGW-w64 or Wine; scripts/setup.sh windows installs them)"
  fi
fi
