#!/usr/bin/env bash
# Runs the link checker on small pages, a case a row: README.md, docs/page.md, the exit status
# the checker must give and a text its output must hold (none for a clean run).
set -uo pipefail
checker="${1:?usage: check-doc-links-test.sh CHECKER}"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cases=(
  "[p](docs/page.md) [a](docs/page.md#a-b)"   "# A, b!"$'\n'"[r](../README.md)"  0 ""
  "[p](docs/gone.md)"                         "# A"                            1 "README.md:1: broken link 'docs/gone.md'"
  "[p](docs/page.md#nothing)"                 "# A"                            1 "no heading for #nothing"
  "[p](docs/page.md)"                         "[r](README.md)"                 1 "docs/page.md:1: broken link 'README.md'"
  "[h](#here)"$'\n'"# Here"                   "# A"                            0 ""
  "[w](https://example.org/x) \`[c](no.md)\`" $'```\n[c](no.md)\n```'          0 ""
)
failed=0
for ((i = 0; i < ${#cases[@]}; i += 4)); do
  mkdir -p "$root/docs" && printf '%s\n' "${cases[i]}" >"$root/README.md"
  printf '%s\n' "${cases[i + 1]}" >"$root/docs/page.md"
  output=$(bash "$checker" "$root" 2>&1)
  status=$? expected=${cases[i + 3]}
  if ((status != cases[i + 2])) || [[ $output != *"$expected"* || (-z $expected && -n $output) ]]; then
    echo "case $((i / 4 + 1)) (${cases[i]}): exit status $status, output '$output'"
    failed=1
  fi
done
exit "$failed"
