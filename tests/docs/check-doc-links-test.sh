#!/usr/bin/env bash
# Runs the link checker on small pages, one case a row: what README.md and docs/page.md hold, the
# exit status the checker must give and a text its output must hold (empty: no output at all).
set -uo pipefail
checker="${1:?usage: check-doc-links-test.sh CHECKER}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

#       name                 README.md                                  docs/page.md                          status  output
cases=(
  "good links"           "[p](docs/page.md) [a](docs/page.md#a-b)"  "# A, b!"$'\n'"[r](../README.md)"  0 ""
  "missing file"         "[p](docs/gone.md)"                        "# A"                                 1 "README.md:1: broken link 'docs/gone.md'"
  "missing heading"      "[p](docs/page.md#nothing)"                "# A"                                 1 "no heading for #nothing"
  "relative to the page" "[p](docs/page.md)"                        "[r](README.md)"                      1 "docs/page.md:1: broken link 'README.md'"
  "own heading"          "[h](#here)"$'\n'"# Here"                  "# A"                                 0 ""
  "web and code skipped" "[w](https://example.org/x) \`[c](no.md)\`" $'```\n[c](no.md)\n```'          0 ""
  "picture"              "![p](docs/no.png)"                        "# A"                                 1 "no file docs/no.png"
)

failures=0
for ((i = 0; i < ${#cases[@]}; i += 5)); do
  name=${cases[i]}
  rm -rf "$work/root" && mkdir -p "$work/root/docs"
  printf '%s\n' "${cases[i + 1]}" >"$work/root/README.md"
  printf '%s\n' "${cases[i + 2]}" >"$work/root/docs/page.md"
  output=$(bash "$checker" "$work/root" 2>&1)
  status=$?
  expected=${cases[i + 4]}
  if ((status != cases[i + 3])); then
    echo "$name: exit status $status, expected ${cases[i + 3]}; output: $output"
    failures=$((failures + 1))
  elif [[ -z $expected && -n $output ]] || [[ $output != *"$expected"* ]]; then
    echo "$name: output '$output' lacks '$expected'"
    failures=$((failures + 1))
  fi
done
((failures == 0)) && echo "all $((${#cases[@]} / 5)) cases pass"
exit $((failures != 0))
