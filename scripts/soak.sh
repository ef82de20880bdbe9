#!/usr/bin/env bash
# Replays 10,000,000 random steps (or STEPS) on the plugin and the reference model, in sessions of
# 20,000 steps seeded FIRST_SEED, FIRST_SEED + 1, ... A difference is printed with its seed and
# the shrunk steps, and written as a session script under out/model-failures.
# Usage: scripts/soak.sh [STEPS] [FIRST_SEED]   (PRESET=asan scripts/soak.sh: the sanitizer build)
# Needs the packages scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${PRESET:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target model_soak QuillonPlugin
exec "build/$preset/bin/model_soak" "$@"
