#!/usr/bin/env bash
# The main job: builds the host program and the plugin module (and only what they need), then
# replays the bundled practice session, printing the overlay of every frame and, after each
# picture it writes to out/, where it went. The host's data folder is out/data, made afresh each
# time so the replay is the same every run, and kept afterwards to look at. The example checks
# itself (its expect steps): a frame that shows anything else fails the demo.
# Quiet while it works: package installation and the build write to out/demo-build.log, shown
# only when they fail (VERBOSE=1 shows them as they come); while the build runs, a line says how
# many of its steps are done, every 30 seconds for the first two minutes and every minute after,
# so the whole demo stays within about 25 lines. The settings page's text, which the picture
# out/settings.png shows, is left out of what is printed; out/demo.txt holds it all, with the
# messages of expectations that failed where their frames are.
set -euo pipefail
cd "$(dirname "$0")/.."
session=examples/freeplay-practice.session
mkdir -p out
rm -rf out/data
start=$SECONDS
# shellcheck source=scripts/progress.sh
source scripts/progress.sh
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null' EXIT

# Runs the setup and the build into out/demo-build.log, with a progress line now and then.
build_with_progress() {
  local last=$SECONDS status=0
  scripts/setup.sh default quillon-host QuillonPlugin >out/demo-build.log 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if ((SECONDS - last >= $(progress_interval $((last - start))))); then
      echo "demo: building: $(build_progress out/demo-build.log) ($(took "$start"))"
      last=$SECONDS
    fi
  done
  wait "$pid" || status=$?
  pid=
  return "$status"
}

if [[ ${VERBOSE:-0} == 1 ]]; then
  scripts/setup.sh default quillon-host QuillonPlugin
else
  echo "demo: building the host program and the plugin (log: out/demo-build.log) ..."
  if ! build_with_progress; then
    cat out/demo-build.log
    echo "demo: FAILED: the setup or the build failed (above; kept in out/demo-build.log)" >&2
    exit 1
  fi
  echo "demo: built in $(took "$start"); replaying $session"
fi

status=0
# Standard error into the same file: a failed expectation's message then stands under its frame.
build/default/bin/quillon-host --data out/data "$session" >out/demo.txt 2>&1 || status=$?
# The page's text lines are indented under their settings line.
grep -v '^  ' out/demo.txt || true
if ((status != 0)); then
  echo "demo: FAILED: the replay did not show what $session expects" >&2
  exit 1
fi
echo "demo: every frame showed what the session expects; all of it, the page's text too: out/demo.txt"
