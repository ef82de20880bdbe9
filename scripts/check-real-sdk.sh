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
# compiles, compiled again with clang for MSVC's ABI, then scripts/check-sdk-link.sh resolves their
# calls into the SDK against SDKDIR/lib/pluginsdk.lib (see there, and docs/real-host.md), and their
# calls into the runtime against Wine's runtime DLLs, MinGW-w64's C libraries (its headers serve
# the compile) and scripts/msvc-static-runtime.def. The C++ names of the standard library are
# libstdc++'s in this compile, not the runtime's, and are left unchecked (--foreign-std). Prints
# "link: N of N SDK functions the plugin calls are exported by pluginsdk.lib".
#
# The names: the files that call the SDK, compiled for MSVC's ABI against the stand-in SDK's
# declarations (source/sdk/) too, then scripts/check-sdk-names.sh compares the SDK functions they
# import with those the same files import from the host's headers. Prints, last, "sdk names: N of N
# SDK functions the plugin calls are named alike in source/sdk and the host's SDK".
#
# Exits 0 only when all of it holds.
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

(($# == 1)) || fail "usage: scripts/check-real-sdk.sh SDKDIR (the folder holding include/, lib/ and imgui_bm.zip)"
[[ -d $1/include/bakkesmod ]] || fail "$1 has no include/bakkesmod folder: not the host's SDK"
[[ -f $1/imgui_bm.zip ]] || fail "$1 has no imgui_bm.zip (the host's Dear ImGui)"
[[ -f $1/lib/pluginsdk.lib ]] || fail "$1 has no lib/pluginsdk.lib (the SDK's import library)"
sdk=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
compiler=x86_64-w64-mingw32-g++-posix
# shellcheck source=scripts/missing-tools.sh
source scripts/missing-tools.sh
missing=$(missing_tools "$compiler" unzip clang++ llvm-nm llvm-undname llvm-readobj llvm-dlltool lld-link)
[[ -z $missing ]] || fail "$missing"
# MinGW-w64's libstdc++ headers serve the clang compile for MSVC's ABI as well.
mingw_cxx=$(dirname "$("$compiler" -print-libgcc-file-name)")/include/c++
[[ -d $mingw_cxx ]] || fail "$mingw_cxx is missing: $compiler has no libstdc++ headers"
# The runtime the link check resolves against: Microsoft's runtime DLLs as Wine builds them, and
# MinGW-w64's C libraries for the names its C headers write.
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
mingw_libs=/usr/x86_64-w64-mingw32/lib
runtime=()
for dll in msvcp140 vcruntime140 ucrtbase kernel32 user32 imm32; do
  [[ -f $wine_dlls/$dll.dll ]] || fail "$wine_dlls/$dll.dll is missing; apt-get install wine64 installs it"
  runtime+=("$wine_dlls/$dll.dll")
done
for library in libmingwex libwinpthread libmingw32 libucrt; do
  [[ -f $mingw_libs/$library.a ]] || fail "$mingw_libs/$library.a is missing; apt-get install g++-mingw-w64-x86-64-posix installs it"
  runtime+=("$mingw_libs/$library.a")
done
runtime+=("$PWD/scripts/msvc-static-runtime.def")

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

# The link. clang writes every call with MSVC's decorated name when the standard library's types
# are class templates of MSVC's names, namespaces, class keys and template parameters: libstdc++'s
# are, with its old string ABI (std::string is not in std::__cxx11 then). -fgnuc-version: MinGW's
# headers take their GCC spellings, which clang reads, only where __GNUC__ is defined; gnu++20:
# libstdc++ uses __int128; __declspec as a macro: MinGW's headers define their import macro only
# where it is one. imgui.cpp includes <Windows.h>, which here is spelled windows.h. -w: the
# warnings are the MinGW compile's business (above, with -Werror); this one is about names only.
mkdir -p "$work/windows" "$work/msvc/plugin" "$work/msvc/imgui" "$work/msvc/standin"
echo '#include <windows.h>' >"$work/windows/Windows.h"
# No -O: an inline member of an imported class stays a call through its import, which the names
# check below compares.
msvc_flags=(--target=x86_64-pc-windows-msvc -std=gnu++20 -c -w -fgnuc-version=12.2
  -D_GLIBCXX_USE_CXX11_ABI=0 "-D__declspec(x)=__declspec(x)" "-D_NODISCARD=[[nodiscard]]"
  -nostdinc++ -nostdlibinc -isystem "$mingw_cxx" -isystem "$mingw_cxx/x86_64-w64-mingw32"
  -isystem "$mingw_cxx/backward" -isystem /usr/x86_64-w64-mingw32/include
  -isystem "$work/imgui" -isystem "$work/windows" "${rooms[@]}")

# The flags in response files, for xargs to hand every compile the same: against the host's SDK
# through the adapter, and against the stand-in SDK.
printf "'%s'\n" "${msvc_flags[@]}" -I source/sdk/real -isystem "$headers" >"$work/msvc.rsp"
printf "'%s'\n" "${msvc_flags[@]}" -I source/sdk >"$work/standin.rsp"

# Compiles each FILE into FOLDER/NAME.obj for MSVC's ABI with the flags of RSP, one compile per
# core; a file that does not compile leaves no object, and its first errors are printed.
compile_for_msvc() { # RSP FOLDER FILE...
  local rsp=$1 folder=$2 file name failed=0
  shift
  # shellcheck disable=SC2016 # expanded by the inner shell
  printf '%s\n' "${@:2}" | xargs -P "$(nproc)" -I{} sh -c \
    'clang++ @"$1" "$2" -o "$3/$(basename "$2" .cpp).obj" 2>"$3/$(basename "$2" .cpp).txt"' \
    _ "$rsp" {} "$folder" || true
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
scripts/check-sdk-link.sh --foreign-std "$sdk/lib/pluginsdk.lib" "$sdk/include" "$work/msvc/imgui" \
  "$work/msvc/plugin" "${runtime[@]}" || status=$?

# The same files as the MinGW compile above: those that call the SDK.
compile_for_msvc "$work/standin.rsp" "$work/msvc/standin" "${files[@]}" ||
  fail "not every file compiles for MSVC's ABI against source/sdk"
scripts/check-sdk-names.sh "$work/msvc/standin" "$work/msvc/plugin" || status=$?
exit "$status"
