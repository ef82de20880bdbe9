#!/usr/bin/env bash
# The main job: builds everything, then replays the bundled practice session, printing the
# overlay of every frame and writing pictures to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
mkdir -p out
build/default/bin/quillon-host examples/freeplay-practice.session
