#!/usr/bin/env bash
# scripts/check-format.sh in a repository made here: it names each badly formatted file once, and
# the command it prints formats them, after which the check passes.
# Usage: format-check-test.sh scripts/check-format.sh .clang-format
set -uo pipefail
check=$(realpath "$1")
style=$(realpath "$2")
# shellcheck source=tests/scripts/needs-tools.sh
source "$(dirname "$0")/needs-tools.sh" clang-format git
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
git init -q .
cp "$style" .clang-format
mkdir -p "odd folder"
printf 'int tidy() {\n  return 1;\n}\n' >tidy.cpp
printf 'int  crowded( ){return 1;}\nint  twice( ){return 2;}\n' >crowded.cpp
printf 'int   spaced ( ) ;\n' >"odd folder/spaced.h"
git add .

failed=0
expect() { # WHAT CONDITION
  if ! eval "$2"; then
    echo "$1; it printed (its last lines):"
    tail -n 3 "$work/out"
    failed=1
  fi
}
"$check" >"$work/out" 2>&1
status=$?
command=$(sed -n 's/^format: .*; to format them: //p' "$work/out")
expect "a badly formatted file must fail the check" '((status == 1))'
expect "each bad file is named once, the good one not" \
  '[[ $command == "clang-format -i crowded.cpp odd\\ folder/spaced.h" ]]'
expect "clang-format's own lines come first" 'grep -q "^crowded.cpp:1:.*code should be clang-formatted" out'
eval "$command"
"$check" >"$work/out" 2>&1
status=$?
expect "after the printed command the check must pass" '((status == 0))'
expect "a passing check prints nothing" '[[ ! -s out ]]'
exit "$failed"
