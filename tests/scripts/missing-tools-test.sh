#!/usr/bin/env bash
# What the scripts say when a tool they need is missing: which tool, and the Debian package that
# installs it. A case a row: the tools on PATH, the tools asked for, and what must be printed; then
# scripts/check-real-sdk.sh itself on a machine without MinGW-w64.
# Usage: missing-tools-test.sh scripts/
set -uo pipefail
scripts=$(realpath "$1")
# shellcheck source=scripts/missing-tools.sh
source "$scripts/missing-tools.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A PATH holding only the named tools (each a script that does nothing), and what the checked
# scripts run before they look for their tools.
make_path() {
  rm -rf "$work/bin"
  mkdir -p "$work/bin"
  local tool
  for tool in "$@"; do printf '#!/bin/sh\n' >"$work/bin/$tool" && chmod +x "$work/bin/$tool"; done
  ln -s "$(command -v dirname)" "$work/bin/dirname"
}

mingw=x86_64-w64-mingw32-g++-posix
cases=(
  "$mingw wine"  "$mingw wine"  ""
  "wine"         "$mingw wine"  "$mingw is missing; apt-get install g++-mingw-w64-x86-64-posix installs it"
  "$mingw"       "$mingw wine"  "wine is missing; apt-get install wine installs it"
  ""             "$mingw wine"  "$mingw, wine are missing; apt-get install g++-mingw-w64-x86-64-posix wine installs them"
  "clang++"      "clang++ llvm-nm llvm-undname lld-link"
  "llvm-nm, llvm-undname, lld-link are missing; apt-get install llvm lld installs them"
  "llvm-nm"      "unzip llvm-nm"  "unzip is missing; apt-get install unzip installs it"
)
failed=0
for ((i = 0; i < ${#cases[@]}; i += 3)); do
  # shellcheck disable=SC2086 # the rows' lists of tools
  got=$(make_path ${cases[i]} && PATH=$work/bin && missing_tools ${cases[i + 1]})
  if [[ $got != "${cases[i + 2]}" ]]; then
    echo "with '${cases[i]}' on PATH, asked for '${cases[i + 1]}': printed '$got', expected '${cases[i + 2]}'"
    failed=1
  fi
done

# The real-SDK check on an SDK folder of the right shape, without MinGW-w64.
mkdir -p "$work/sdk/include/bakkesmod" "$work/sdk/lib"
touch "$work/sdk/imgui_bm.zip" "$work/sdk/lib/pluginsdk.lib"
make_path unzip clang++ llvm-nm llvm-undname llvm-readobj llvm-dlltool lld-link
PATH=$work/bin "$BASH" "$scripts/check-real-sdk.sh" "$work/sdk" >"$work/out" 2>&1
status=$?
expected="check-real-sdk: $mingw is missing; apt-get install g++-mingw-w64-x86-64-posix installs it"
if ((status == 0)) || [[ $(cat "$work/out") != "$expected" ]]; then
  echo "check-real-sdk.sh without MinGW-w64 exited $status and printed:"
  cat "$work/out"
  echo "expected a failure printing: $expected"
  failed=1
fi
exit "$failed"
