#!/usr/bin/env bash
# The progress lines of scripts/test.sh and scripts/demo.sh: what a build log says, the time
# taken, and how often a line comes. A case a row: the expression and what it must print.
set -uo pipefail
# shellcheck source=scripts/progress.sh
source "${1:?usage: progress-test.sh PROGRESS_SH}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "-- Configuring done" "[1/86] Building CXX a.o" "[12/86] Building CXX b.o" >"$log"
cases=(
  "build_progress $log"           "12 of 86 build steps done"
  "build_progress /nonexistent"   "starting"
  "duration 7"                    "7 s"
  "duration 125"                  "2 min 5 s"
  "duration_ms 449"               "0.4 s"
  "duration_ms 59999"             "59.9 s"
  "duration_ms 208433"            "3 min 28 s"
  "progress_interval 0"           "30"
  "progress_interval 119"         "30"
  "progress_interval 120"         "60"
)
failed=0
for ((i = 0; i < ${#cases[@]}; i += 2)); do
  got=$(eval "${cases[i]}")
  if [[ $got != "${cases[i + 1]}" ]]; then
    echo "${cases[i]}: printed '$got', expected '${cases[i + 1]}'"
    failed=1
  fi
done
exit "$failed"
