#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure. With the
# default preset it also checks the Windows build under Wine, where the MinGW-w64 toolchain and
# Wine are installed (scripts/setup.sh windows installs them; CI always has them).
# Usage: scripts/test.sh [PRESET]   (default, or asan for the sanitizer build)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
# The code follows .clang-format; a file that does not fails the run.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
ctest --preset "$preset" -j 2

if [[ $preset == default ]]; then
  if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
    scripts/windows-check.sh
  elif [[ ${CI:-} == true ]]; then
    echo "test: CI must check the Windows build, but MinGW-w64 or Wine is missing" >&2
    exit 1
  else
    echo "test: Windows build not checked (no MinGW-w64 or Wine; scripts/setup.sh windows installs them)"
  fi
fi
