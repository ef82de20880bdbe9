#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure.
# Usage: scripts/test.sh [PRESET]   (default, or asan for the sanitizer build)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
ctest --preset "$preset" -j 2
