#!/usr/bin/env bash
# Makes a copy of the host SDK's include folder that a compiler on a case-sensitive file system
# reads as MSVC reads the original on Windows: the SDK's include names that name no file here
# (letters in another case, backslashes, a file MSVC finds in the folder of a file further up the
# chain of includes) get a header of that name, beside the includer, that includes the file meant.
# The copy is made of links; the SDK's folder is only read.
# Usage: scripts/fold-sdk-include-case.sh SDKINCLUDE OUTDIR
set -euo pipefail
(($# == 2)) || { echo "usage: scripts/fold-sdk-include-case.sh SDKINCLUDE OUTDIR" >&2; exit 1; }
[[ -d $1/bakkesmod ]] || { echo "fold-sdk-include-case: $1 has no bakkesmod folder" >&2; exit 1; }
source_include=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2"
headers=$(cd "$2" && pwd)
cp -rs "$source_include/." "$headers/"

# The file an include name means on a case-blind system: '\' read as '/', looked up from the
# including file's folder up to the top. Prints nothing when nothing matches.
meant_file() { # FOLDER NAME
  local folder=$1 name=${2//\\//} wanted found
  while :; do
    wanted=$(realpath -m -s "$headers/$folder/$name")
    if [[ $wanted == "$headers"/* ]]; then
      found=$(find "$headers" -ipath "$wanted" -print -quit)
      [[ -n $found ]] && { echo "$found"; return; }
    fi
    [[ $folder == . ]] && return
    folder=$(dirname "$folder")
  done
}

written=0
while IFS= read -r header; do
  folder=$(dirname "$header")
  while IFS= read -r name; do
    [[ -e $headers/$folder/$name || -e $headers/$name ]] && continue
    target=$(meant_file "$folder" "$name")
    [[ -n $target ]] || continue
    mkdir -p "$(dirname "$headers/$folder/$name")"
    echo "#include \"$target\"" >"$headers/$folder/$name"
    written=$((written + 1))
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$headers/$header")
done < <(cd "$headers" && find . -type l \( -name '*.h' -o -name '*.hpp' \) | sed 's|^\./||' | sort)
echo "fold-sdk-include-case: $written headers written for include names that name no file here"
