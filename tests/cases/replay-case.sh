#!/usr/bin/env bash
# Replays a kept case from its own folder, so messages name it as it is named there. It passes
# when the replay ends with status 0, or, where CASE.outcome is beside it, as that file says:
# its first line "exit status N", then what standard error must hold, line for line.
set -uo pipefail
usage="usage: replay-case.sh QUILLON_HOST CASE.session"
host=$(realpath "${1:?$usage}")
case=${2:?$usage}
cd "$(dirname "$case")" || exit 1
name=$(basename "$case")
outcome=${name%.session}.outcome
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
"$host" "$name" 2>"$errors"
status=$?
if [[ ! -f $outcome ]]; then
  cat "$errors" >&2
  exit "$status"
fi
failed=0
expected=$(head -n 1 "$outcome")
if [[ $expected != "exit status $status" ]]; then
  echo "$name: the replay ended with exit status $status; $outcome says '$expected'"
  failed=1
fi
if ! diff -u <(tail -n +2 "$outcome") "$errors"; then
  echo "$name: the replay's standard error differs from $outcome (above)"
  failed=1
fi
exit "$failed"
