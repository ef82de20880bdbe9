#!/usr/bin/env bash
# Compiles the plugin's files against the real host SDK, as a Windows developer's build would, with
# MinGW-w64: every file of source/plugin/ and every file of a lower room that includes an SDK
# header, through the adapter in source/sdk/real/, against SDKDIR/include and the host's Dear
# ImGui from SDKDIR/imgui_bm.zip. Objects only: nothing is linked (the SDK's library is for MSVC
# alone; see docs/real-host.md). Prints "real SDK: N of M files compile", or each failing file's
# first errors, and exits 0 only when every file compiles and QuillonPlugin.cpp's object defines
# what the host looks up: `exports`, `getPlugin` and `deleteMe`.
#
# The SDK's headers are written for MSVC on a case-blind file system. Their include names that do
# not name a file here (letters in another case, backslashes, a file that MSVC finds in the folder
# of a file further up the chain of includes) are answered in a private copy of the header tree,
# made of links in a temporary folder; the SDK's folder itself is only read.
# Usage: scripts/check-real-sdk.sh SDKDIR   (KEEP=1 keeps the temporary folder, for a look at the
# files the compiler's messages name, and prints where it is)
set -euo pipefail

fail() {
  echo "check-real-sdk: $*" >&2
  exit 1
}

(($# == 1)) || fail "usage: scripts/check-real-sdk.sh SDKDIR (the folder holding include/ and imgui_bm.zip)"
[[ -d $1/include/bakkesmod ]] || fail "$1 has no include/bakkesmod folder: not the host's SDK"
[[ -f $1/imgui_bm.zip ]] || fail "$1 has no imgui_bm.zip (the host's Dear ImGui)"
sdk=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || fail "$compiler is missing (scripts/setup.sh windows installs it)"
command -v unzip >/dev/null || fail "unzip is missing"

work=$(mktemp -d)
if [[ -n ${KEEP:-} ]]; then
  echo "check-real-sdk: the temporary folder is kept: $work"
else
  trap 'rm -rf "$work"' EXIT
fi
headers=$work/include
mkdir -p "$headers" "$work/objects" "$work/errors"
cp -rs "$sdk/include/." "$headers/"
unzip -q "$sdk/imgui_bm.zip" -d "$work"
[[ -f $work/imgui/imgui.h ]] || fail "imgui_bm.zip holds no imgui/imgui.h"

# The file, in the copy, that an include name means on a case-blind system: the name with '/' for
# '\', looked up in the including file's folder, then in each folder above it up to the top. Sets
# `target`, empty when nothing matches.
resolve_ignoring_case() {
  local base=$1 name=${2//\\//} wanted
  target=""
  while :; do
    wanted=$(realpath -m -s "$headers/$base/$name")
    if [[ $wanted == "$headers"/* ]]; then
      target=$(find "$headers" -ipath "$wanted" -print -quit)
      [[ -n $target ]] && return
    fi
    [[ $base == . ]] && return
    base=$(dirname "$base")
  done
}

answered=0
while IFS= read -r header; do
  folder=$(dirname "$header")
  while IFS= read -r name; do
    [[ -e $headers/$folder/$name || -e $headers/$name ]] && continue
    resolve_ignoring_case "$folder" "$name"
    [[ -n $target ]] || continue
    # A header of that name beside the includer, which includes the file by its full path: the
    # file's own includes are then looked up from its own folder, as written.
    mkdir -p "$(dirname "$headers/$folder/$name")"
    echo "#include \"$target\"" >"$headers/$folder/$name"
    answered=$((answered + 1))
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$headers/$header")
done < <(cd "$headers" && find . -type l \( -name '*.h' -o -name '*.hpp' \) | sed 's|^\./||' | sort)
echo "check-real-sdk: $answered headers written into a temporary copy of the SDK's, for include names that name no file here"

# The plugin's files, and the lower rooms' files that include one of the SDK's headers, directly
# or through a header of their own room that does.
includes_one_of() {
  grep -lE "#include \"($1)\"" /dev/null "${@:2}" || true
}
sdk_names=$(find source/sdk -maxdepth 1 -name '*.h' -printf '%f\n' | sort | paste -sd '|')
lower=$(find source -mindepth 2 -maxdepth 2 -type f -not -path 'source/sdk/*' \
  -not -path 'source/plugin/*' | sort)
mapfile -t lower_cpp < <(grep '\.cpp$' <<<"$lower")
mapfile -t lower_h < <(grep '\.h$' <<<"$lower")
names=$sdk_names
for header in $(includes_one_of "$sdk_names" "${lower_h[@]}"); do
  names+="|$(basename "$header")"
done
files=(source/plugin/*.cpp)
mapfile -t -O "${#files[@]}" files < <(includes_one_of "$names" "${lower_cpp[@]}")

rooms=()
for room in source/*/; do
  [[ $room == source/sdk/ ]] || rooms+=(-I "$room")
done
# MSVC's own words in the SDK's headers: __pragma (warning switches) means nothing to GCC, and
# _NODISCARD is MSVC's library macro. -fpermissive: the SDK instantiates one template twice.
flags=(-std=c++20 -c -Wall -Wextra -Wpedantic -Werror -fpermissive
  "-D__pragma(x)=" "-D_NODISCARD=[[nodiscard]]"
  -fno-canonical-system-headers -I source/sdk/real -isystem "$headers" -isystem "$work/imgui" "${rooms[@]}")

compiled=0
for file in "${files[@]}"; do
  name=${file//\//_}
  name=${name%.cpp}
  if "$compiler" "${flags[@]}" "$file" -o "$work/objects/$name.o" 2>"$work/errors/$name.txt"; then
    compiled=$((compiled + 1))
  else
    echo "check-real-sdk: $file does not compile:"
    grep -m 5 -E 'error' "$work/errors/$name.txt" || head -n 5 "$work/errors/$name.txt"
  fi
done
echo "real SDK: $compiled of ${#files[@]} files compile"
((compiled == ${#files[@]})) || exit 1

# What the host looks up in the module, defined (not only declared) in the object.
x86_64-w64-mingw32-nm "$work/objects/source_plugin_QuillonPlugin.o" >"$work/QuillonPlugin.nm"
for symbol in exports getPlugin deleteMe; do
  grep -qE " [TDRB] $symbol\$" "$work/QuillonPlugin.nm" ||
    fail "QuillonPlugin.cpp's object does not define $symbol"
done
echo "check-real-sdk: QuillonPlugin.cpp's object defines exports, getPlugin and deleteMe"
