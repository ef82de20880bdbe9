#!/usr/bin/env bash
# The main job: builds the host program and the plugin module (and only what they need), then
# replays the bundled practice session, printing the overlay of every frame and, after each
# picture it writes to out/, where it went. The host's data folder is out/data, made afresh each
# time so the replay is the same every run, and kept afterwards to look at. The example checks
# itself (its expect steps): a frame that shows anything else fails the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default quillon-host QuillonPlugin
mkdir -p out
rm -rf out/data
if ! build/default/bin/quillon-host --data out/data examples/freeplay-practice.session; then
  echo "demo: FAILED: the replay did not show what examples/freeplay-practice.session expects" >&2
  exit 1
fi
