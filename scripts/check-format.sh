#!/usr/bin/env bash
# Checks that the C++ files git knows in the current folder follow .clang-format. Prints
# clang-format's message for each place that does not, then the command that formats those files,
# and exits 1; exits 0 when every file follows it.
# Usage: scripts/check-format.sh   (scripts/test.sh runs it from the repository's top folder)
set -uo pipefail
report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror 2>&1)
status=$?
[[ -n $report ]] && echo "$report"
((status == 0)) && exit 0
mapfile -t files < <(sed -nE 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' \
  <<<"$report" | sort -u)
# A failure that names no file (clang-format itself missing or failing) is shown as it came.
((${#files[@]})) || exit "$status"
if ((${#files[@]} == 1)); then counted="1 file is" them=it; else counted="${#files[@]} files are" them=them; fi
echo "format: $counted not formatted; to format $them: clang-format -i$(printf ' %q' "${files[@]}")"
exit 1
