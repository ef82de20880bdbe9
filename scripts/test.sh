#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure. With the
# default preset, in CI (CI=true) or when asked (WINDOWS_CHECK=1), it also checks the Windows build
# under Wine (scripts/windows-check.sh), which needs the MinGW-w64 toolchain and Wine
# (scripts/setup.sh windows installs them); that check builds a second program tree from nothing
# and takes longer than the rest, so otherwise a line says how to run it.
# Usage: scripts/test.sh [PRESET]   (default, or asan for the sanitizer build)
# Each stage (setup, build, format, tests, the Windows check) prints a line when it
# begins and one when it ends, with the time it took, and while it runs a line of progress every
# 30 seconds, so a fresh clone's long build is never silent. Only the tests that fail are shown,
# each with its output, then a short summary; a stage that fails shows its whole output. With
# VERBOSE=1 everything is shown as it comes, every test with its line as ctest writes them.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
verbose=${VERBOSE:-0}
log=$(mktemp)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -f "$log"' EXIT
total_start=$SECONDS
# shellcheck source=scripts/progress.sh
source scripts/progress.sh
# shellcheck source=scripts/missing-tools.sh
source scripts/missing-tools.sh

# What the stage's output tells of its progress, for the lines printed while it runs.
last_line() { echo "running: $(tail -n 1 "$1")"; }
tests_progress() {
  local done total
  done=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$log" || true)
  total=$(grep -oE '^ *[0-9]+/[0-9]+ Test +#' "$log" | tail -n 1 | sed -E 's|.*/([0-9]+) .*|\1|')
  echo "$done of ${total:-?} tests done"
}
windows_progress() {
  if [[ -s build/windows/check/build.log && $(tail -n 1 "$log") != windows-check:* ]]; then
    echo "Windows build: $(build_progress build/windows/check/build.log)"
  else
    last_line "$log"
  fi
}

# Runs one stage: NAME PROGRESS COMMAND... Its output goes to $log, and to the screen too with
# VERBOSE=1. Sets `status` to the command's exit status.
run_stage() {
  local name=$1 progress=$2 start=$SECONDS last=$SECONDS
  shift 2
  echo "test: $name ..."
  status=0
  if [[ $verbose == 1 ]]; then
    "$@" 2>&1 | tee "$log" || status=${PIPESTATUS[0]}
  else
    "$@" >"$log" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
      sleep 1
      if ((SECONDS - last >= 30)); then
        echo "test: $name: $($progress "$log") ($(took "$start"))"
        last=$SECONDS
      fi
    done
    wait "$pid" || status=$?
    pid=
  fi
  if ((status == 0)); then
    echo "test: $name done ($(took "$start"))"
  else
    echo "test: $name FAILED ($(took "$start"))"
  fi
}

# A stage whose failure ends the run, its output shown.
stage() {
  run_stage "$@"
  if ((status != 0)); then
    [[ $verbose == 1 ]] || cat "$log"
    echo "test: failed: ${*:3}" >&2
    exit 1
  fi
}

stage setup last_line scripts/setup.sh --configure-only "$preset"
stage build build_progress cmake --build --preset "$preset" -j "$(nproc)"
# The code follows .clang-format; a file that does not fails the run, saying how to format it.
stage format last_line scripts/check-format.sh

run_stage tests tests_progress ctest --preset "$preset" -j 2
if [[ $verbose != 1 ]]; then
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
fi
if ((status != 0)); then exit "$status"; fi

if [[ $preset == default ]]; then
  windows_missing=$(missing_tools x86_64-w64-mingw32-g++-posix wine)
  if [[ ${CI:-} != true && ${WINDOWS_CHECK:-0} != 1 ]]; then
    echo "test: Windows build not checked (CI checks it): WINDOWS_CHECK=1 scripts/test.sh, or scripts/windows-check.sh after this"
  elif [[ -z $windows_missing ]]; then
    stage "Windows check" windows_progress scripts/windows-check.sh
    # Its last line is its summary.
    [[ $verbose == 1 ]] || tail -n 1 "$log"
  else
    echo "test: the Windows check is asked for (CI=true or WINDOWS_CHECK=1), but $windows_missing" >&2
    exit 1
  fi
fi
echo "test: all passed ($(took "$total_start") in all)"
