#!/usr/bin/env bash
# The main job: builds the host program and the plugin module (and only what they need), then
# replays the bundled practice session, printing the overlay of every frame and, after each
# picture it writes to out/, where it went. The host's data folder is out/data, made afresh each
# time so the replay is the same every run, and kept afterwards to look at. The example checks
# itself (its expect steps): a frame that shows anything else fails the demo.
# Quiet while it works: package installation and the build write to out/demo-build.log, shown
# only when they fail (VERBOSE=1 shows them as they come). The settings page's text, which the
# picture out/settings.png shows, is left out of what is printed; out/demo.txt holds it all.
set -euo pipefail
cd "$(dirname "$0")/.."
session=examples/freeplay-practice.session
mkdir -p out
rm -rf out/data
start=$SECONDS
if [[ ${VERBOSE:-0} == 1 ]]; then
  scripts/setup.sh default quillon-host QuillonPlugin
else
  echo "demo: building the host program and the plugin (log: out/demo-build.log) ..."
  if ! scripts/setup.sh default quillon-host QuillonPlugin >out/demo-build.log 2>&1; then
    cat out/demo-build.log
    echo "demo: FAILED: the setup or the build failed (above; kept in out/demo-build.log)" >&2
    exit 1
  fi
  echo "demo: built in $((SECONDS - start)) s; replaying $session"
fi

status=0
build/default/bin/quillon-host --data out/data "$session" >out/demo.txt || status=$?
# The page's text lines are indented under their settings line.
grep -v '^  ' out/demo.txt || true
if ((status != 0)); then
  echo "demo: FAILED: the replay did not show what $session expects" >&2
  exit 1
fi
echo "demo: every frame showed what the session expects; the whole output, with the settings"
echo "      page's text, is in out/demo.txt"
