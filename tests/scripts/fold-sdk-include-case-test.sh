#!/usr/bin/env bash
# scripts/fold-sdk-include-case.sh on an SDK include tree made here, whose headers include each
# other as MSVC on Windows finds them. Each case is an include name, the file it is written in and
# the file it means; a translation unit including every includer must then see every header, in
# the folded copy, with the compiler of this machine. The SDK's folder must stay as it was.
# Usage: fold-sdk-include-case-test.sh scripts/fold-sdk-include-case.sh
set -euo pipefail
fold=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sdk=$work/sdk
mkdir -p "$sdk/bakkesmod/plugin" "$sdk/bakkesmod/wrappers/GameObject"

# INCLUDER|NAME|MEANT: how MSVC reads NAME written in INCLUDER.
cases=(
  'bakkesmod/plugin/plugin.h|bakkesmod/wrappers/CVarWrapper.h|bakkesmod/wrappers/cvarwrapper.h'
  'bakkesmod/plugin/plugin.h|..\wrappers\GameObject\car.h|bakkesmod/wrappers/GameObject/car.h'
  'bakkesmod/wrappers/GameObject/car.h|WrapperStructs.h|bakkesmod/wrappers/wrapperstructs.h'
  'bakkesmod/wrappers/cvarwrapper.h|gameobject/Car.h|bakkesmod/wrappers/GameObject/car.h'
)
marker() { echo "SEEN_$(tr -c 'A-Za-z0-9\n' _ <<<"$1")"; }
for entry in "${cases[@]}"; do
  IFS='|' read -r includer name meant <<<"$entry"
  for file in "$includer" "$meant"; do
    [[ -f $sdk/$file ]] || printf '#pragma once\n#define %s 1\n' "$(marker "$file")" >"$sdk/$file"
  done
  printf '#include "%s"\n' "$name" >>"$sdk/$includer"
done
before=$(cd "$sdk" && find . -type f -exec md5sum {} + | sort)

"$fold" "$sdk" "$work/folded" >"$work/fold.txt"
grep -q '^fold-sdk-include-case: 4 headers written' "$work/fold.txt" || {
  cat "$work/fold.txt"
  echo "FAIL: expected four headers written"
  exit 1
}
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r includer name meant <<<"$entry"
  {
    echo "#include \"$includer\""
    echo "#if !defined($(marker "$meant"))"
    echo "#error $name in $includer does not reach $meant"
    echo "#endif"
  } >"$work/case.cpp"
  if ! c++ -fsyntax-only -I "$work/folded" "$work/case.cpp" 2>"$work/errors.txt"; then
    echo "FAIL: $name in $includer:"
    head -n 3 "$work/errors.txt"
    failed=1
  fi
done
after=$(cd "$sdk" && find . -type f -exec md5sum {} + | sort)
[[ $before == "$after" ]] || { echo "FAIL: the SDK's own folder changed"; failed=1; }
# A second fold into the same folder starts afresh.
"$fold" "$sdk" "$work/folded" >"$work/fold.txt"
grep -q ': 4 headers written' "$work/fold.txt" || { echo "FAIL: a second fold wrote another count"; failed=1; }
((failed == 0)) && echo "every include name reaches the file MSVC would read"
exit "$failed"
