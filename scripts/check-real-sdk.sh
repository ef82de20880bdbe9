#!/usr/bin/env bash
# Checks the plugin's files against the real host SDK, as a Windows developer's build would use them.
#
# The compile: every file of source/plugin/ and every file of a lower room that includes an SDK
# header, with MinGW-w64 and -Werror, through the adapter in source/sdk/real/, against
# SDKDIR/include and the host's Dear ImGui from SDKDIR/imgui_bm.zip. Prints "real SDK: N of M files
# compile", or each failing file's first errors, and checks that QuillonPlugin.cpp's object defines
# what the host looks up: `exports`, `getPlugin` and `deleteMe`.
#
# The link: every file of the rooms the DLL links, and the three Dear ImGui files the real build
# compiles, compiled again with clang-cl in the MSVC ABI against Microsoft's STL, as the msvc-abi
# preset builds them (scripts/msvc-abi-runtime.sh's headers and flags), then
# scripts/check-sdk-link.sh resolves their calls into the SDK against SDKDIR/lib/pluginsdk.lib
# (see there, and docs/real-host.md), and every call into the runtime, the standard library's C++
# names included, against that runtime's import libraries (msvcp140, vcruntime140, ucrtbase ...)
# and its static parts (msvcprt_static.lib, quillon_runtime.lib). Prints "link: N of N SDK
# functions the plugin calls are exported by pluginsdk.lib".
#
# The names: the files that call the SDK, compiled the same way against the stand-in SDK's
# declarations (source/sdk/) too, then scripts/check-sdk-names.sh compares the SDK functions they
# import with those the same files import from the host's headers. Prints, last, "sdk names: N of N
# SDK functions the plugin calls are named alike in source/sdk and the host's SDK".
#
# Exits 0 only when all of it holds; 2, saying what is missing, when Microsoft's STL is not at hand
# (the link cannot be checked without it).
#
# SDKDIR defaults to QUILLON_SDK_DIR, else ../shared/host-sdk beside the repository. Microsoft's STL
# comes from QUILLON_MSVC_STL_DIR (default ../shared/msvc-stl); the runtime is the msvc-abi build's,
# QUILLON_MSVC_ABI_RUNTIME (default build/msvc-abi/_deps/msvc-abi-runtime), assembled there first
# when missing.
#
# The SDK's headers are written for MSVC on a case-blind file system: they are read through a
# copy made by scripts/fold-sdk-include-case.sh in a temporary folder.
# Usage: scripts/check-real-sdk.sh [SDKDIR]   (KEEP=1 keeps the temporary folder, for a look at the
# files the compiler's messages name, and prints where it is)
set -euo pipefail

fail() {
  echo "check-real-sdk: $*" >&2
  exit 1
}

(($# <= 1)) || fail "usage: scripts/check-real-sdk.sh [SDKDIR] (the folder holding include/, lib/ and imgui_bm.zip)"
root=$(cd "$(dirname "$0")/.." && pwd)
sdk=${1:-${QUILLON_SDK_DIR:-$root/../shared/host-sdk}}
[[ -d $sdk/include/bakkesmod ]] || fail "$sdk has no include/bakkesmod folder: not the host's SDK"
[[ -f $sdk/imgui_bm.zip ]] || fail "$sdk has no imgui_bm.zip (the host's Dear ImGui)"
[[ -f $sdk/lib/pluginsdk.lib ]] || fail "$sdk has no lib/pluginsdk.lib (the SDK's import library)"
sdk=$(cd "$sdk" && pwd)
# Folders named relative to where the script is run from, which it leaves.
stl=${QUILLON_MSVC_STL_DIR:-$root/../shared/msvc-stl}
[[ $stl == /* ]] || stl=$PWD/$stl
msvc_runtime=${QUILLON_MSVC_ABI_RUNTIME:-$root/build/msvc-abi/_deps/msvc-abi-runtime}
[[ $msvc_runtime == /* ]] || msvc_runtime=$PWD/$msvc_runtime
cd "$root"
compiler=x86_64-w64-mingw32-g++-posix
# shellcheck source=scripts/missing-tools.sh
source scripts/missing-tools.sh
missing=$(missing_tools "$compiler" unzip llvm-nm llvm-undname llvm-readobj llvm-dlltool lld-link)
[[ -z $missing ]] || fail "$missing"
# The runtime the link check resolves against, and whose headers and flags the compile for it
# takes: the msvc-abi build's.
if [[ ! -f $msvc_runtime/lib/quillon_runtime.lib ]]; then
  if [[ ! -f $stl/stl/inc/yvals_core.h ]]; then
    echo "check-real-sdk: cannot run: no Microsoft STL at $stl (set QUILLON_MSVC_STL_DIR to the" \
      "folder holding stl/inc and stl/src); the link check compiles with it" >&2
    exit 2
  fi
  scripts/msvc-abi-runtime.sh "$msvc_runtime" "$stl" >/dev/null ||
    fail "the MSVC-ABI runtime could not be assembled in $msvc_runtime"
fi
runtime=()
for library in msvcp140 vcruntime140 ucrtbase kernel32 user32 imm32 msvcprt_static quillon_runtime; do
  runtime+=("$msvc_runtime/lib/$library.lib")
done

work=$(mktemp -d)
if [[ -n ${KEEP:-} ]]; then
  echo "check-real-sdk: the temporary folder is kept: $work"
else
  trap 'rm -rf "$work"' EXIT
fi
headers=$work/include
mkdir -p "$work/objects" "$work/errors"
scripts/fold-sdk-include-case.sh "$sdk/include" "$headers"
unzip -q "$sdk/imgui_bm.zip" -d "$work"
[[ -f $work/imgui/imgui.h ]] || fail "imgui_bm.zip holds no imgui/imgui.h"

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
  [[ $room == source/sdk/ ]] || rooms+=("-I$room")
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

# The link: the files compiled as the msvc-abi build compiles them, with the runtime's flags
# (Microsoft's STL first), the release runtime without checked iterators. -w: the warnings are
# the MinGW compile's business (above, with -Werror); this one is about names only. No /O: an
# inline member of an imported class stays a call through its import, which the names check below
# compares.
mkdir -p "$work/msvc/plugin" "$work/msvc/imgui" "$work/msvc/standin"
msvc_flags=(--target=x86_64-pc-windows-msvc "@$msvc_runtime/flags.rsp" /nologo /std:c++20 /MD /EHsc
  /D_ITERATOR_DEBUG_LEVEL=0 -w /c "-imsvc$work/imgui" "${rooms[@]}")

# The flags in response files, for xargs to hand every compile the same: against the host's SDK
# through the adapter, and against the stand-in SDK. clang-cl reads them with Windows' quoting.
printf '"%s"\n' "${msvc_flags[@]}" -Isource/sdk/real "-imsvc$headers" >"$work/msvc.rsp"
printf '"%s"\n' "${msvc_flags[@]}" -Isource/sdk >"$work/standin.rsp"

# Compiles each FILE into FOLDER/NAME.obj for MSVC's ABI with the flags of RSP, one compile per
# core; a file that does not compile leaves no object, and its first errors are printed.
compile_for_msvc() { # RSP FOLDER FILE...
  local rsp=$1 folder=$2 file name failed=0
  shift
  # shellcheck disable=SC2016 # expanded by the inner shell
  printf '%s\n' "${@:2}" | xargs -P "$(nproc)" -I{} sh -c \
    '"$4" @"$1" "/Fo$3/$(basename "$2" .cpp).obj" -- "$2" >"$3/$(basename "$2" .cpp).txt" 2>&1' \
    _ "$rsp" {} "$folder" "$msvc_runtime/clang-cl" || true
  for file in "${@:2}"; do
    name=$(basename "$file" .cpp)
    [[ -f $folder/$name.obj ]] && continue
    echo "check-real-sdk: $file does not compile for MSVC's ABI:"
    grep -m 5 'error' "$folder/$name.txt" || head -n 5 "$folder/$name.txt"
    failed=1
  done
  return "$failed"
}
mapfile -t linked < <(find source -mindepth 2 -maxdepth 2 -name '*.cpp' -not -path 'source/sdk/*' | sort)
if ! compile_for_msvc "$work/msvc.rsp" "$work/msvc/plugin" "${linked[@]}" ||
  ! compile_for_msvc "$work/msvc.rsp" "$work/msvc/imgui" "$work/imgui/"{imgui,imgui_draw,imgui_widgets}.cpp; then
  fail "not every file compiles for MSVC's ABI"
fi
echo "check-real-sdk: ${#linked[@]} files of the DLL's rooms and 3 Dear ImGui files compiled for MSVC's ABI"
status=0
scripts/check-sdk-link.sh "$sdk/lib/pluginsdk.lib" "$sdk/include" "$work/msvc/imgui" \
  "$work/msvc/plugin" "${runtime[@]}" || status=$?

# The same files as the MinGW compile above: those that call the SDK.
compile_for_msvc "$work/standin.rsp" "$work/msvc/standin" "${files[@]}" ||
  fail "not every file compiles for MSVC's ABI against source/sdk"
scripts/check-sdk-names.sh "$work/msvc/standin" "$work/msvc/plugin" || status=$?
exit "$status"
