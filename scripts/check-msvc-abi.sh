#!/usr/bin/env bash
# Builds the plugin's DLL as Windows builds it: Microsoft's STL, the MSVC ABI, the real SDK's
# headers and its pluginsdk.lib, through the msvc-abi preset (clang-cl 16 and lld-link 16 on Linux,
# the same CMakeLists.txt path as Visual Studio's build; see docs/real-host.md). A file the STL
# refuses fails the check with the compiler's FILE(LINE,COLUMN): error lines; an SDK function the
# DLL calls that pluginsdk.lib does not export fails the link.
#
# The SDK comes from QUILLON_SDK_DIR, Microsoft's STL from QUILLON_MSVC_STL_DIR; each defaults to
# ../shared/host-sdk and ../shared/msvc-stl beside the repository when there. Prints, last,
# "msvc-abi: QuillonPlugin.dll builds with Microsoft's STL and links its N SDK calls against the
# real pluginsdk.lib", and exits 0 only then. Exits 2, saying what is missing, when it cannot run.
# The build folder is build/msvc-abi (kept: a second run rebuilds only what changed).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

missing() {
  echo "check-msvc-abi: cannot run: $*" >&2
  exit 2
}
sdk=${QUILLON_SDK_DIR:-$root/../shared/host-sdk}
stl=${QUILLON_MSVC_STL_DIR:-$root/../shared/msvc-stl}
[[ -f $sdk/lib/pluginsdk.lib && -f $sdk/imgui_bm.zip && -d $sdk/include/bakkesmod ]] ||
  missing "no host SDK at $sdk (set QUILLON_SDK_DIR to the folder holding include/, lib/pluginsdk.lib and imgui_bm.zip)"
[[ -f $stl/stl/inc/yvals_core.h ]] ||
  missing "no Microsoft STL at $stl (set QUILLON_MSVC_STL_DIR to the folder holding stl/inc and stl/src)"
for tool in /usr/lib/llvm-16/bin/clang /usr/lib/llvm-16/bin/lld-link /usr/lib/llvm-16/bin/llvm-readobj; do
  [[ -x $tool ]] || missing "$tool is missing (scripts/setup.sh msvc-abi installs it)"
done
[[ -f /usr/include/wine/wine/msvcrt/corecrt.h ]] || missing "Wine's headers are missing (scripts/setup.sh msvc-abi)"
export QUILLON_SDK_DIR QUILLON_MSVC_STL_DIR
QUILLON_SDK_DIR=$(cd "$sdk" && pwd)
QUILLON_MSVC_STL_DIR=$(cd "$stl" && pwd)

build=build/msvc-abi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake --preset msvc-abi >"$log" 2>&1; then
  cat "$log"
  echo "check-msvc-abi: the msvc-abi configure failed" >&2
  exit 1
fi
# -k 0: every file that does not compile is named, not only the first.
if ! cmake --build "$build" -j 2 -- -k 0 >"$log" 2>&1; then
  grep -E '^(FAILED|.*\([0-9]+,[0-9]+\): (fatal )?error|lld-link: error)' "$log" | head -n 40 || tail -n 40 "$log"
  echo "check-msvc-abi: the plugin's DLL does not build with Microsoft's STL in the MSVC ABI" >&2
  exit 1
fi

dll=$build/bin/QuillonPlugin.dll
# The SDK functions the DLL imports: lld-link has resolved each against the real pluginsdk.lib.
calls=$(/usr/lib/llvm-16/bin/llvm-readobj --coff-imports "$dll" |
  awk '/Name: /{inSdk = ($2 == "pluginsdk.dll"); next} inSdk && /Symbol: /' | wc -l)
((calls > 0)) || { echo "check-msvc-abi: $dll imports nothing from pluginsdk.dll" >&2; exit 1; }
# The stand-in host's pluginsdk.dll, built over the host's own SDK headers, must serve the DLL:
# the core and the handles agree on what crosses between them (scripts/check-host-sdk-layouts.sh),
# and it exports every SDK function the DLL imports.
check_host_sdk() {
  local host_sdk=$build/bin/pluginsdk.dll missing name
  scripts/check-host-sdk-layouts.sh "$build" || exit 1
  missing=$(comm -23 <(/usr/lib/llvm-16/bin/llvm-readobj --coff-imports "$dll" |
    awk '/Name: /{inSdk = ($2 == "pluginsdk.dll"); next} inSdk && /Symbol: /{print $2}' | sort -u) \
    <(/usr/lib/llvm-16/bin/llvm-readobj --coff-exports "$host_sdk" | awk '/Name: /{print $2}' | sort -u))
  if [[ -n $missing ]]; then
    while IFS= read -r name; do
      echo "check-msvc-abi: $host_sdk does not export $name ($(/usr/lib/llvm-16/bin/llvm-undname "$name" 2>/dev/null | sed -n 2p))" >&2
    done <<<"$missing"
    exit 1
  fi
  echo "msvc-abi: the stand-in host's pluginsdk.dll, over the host's own SDK headers, exports all $calls SDK functions QuillonPlugin.dll imports"
}
check_host_sdk

echo "msvc-abi: QuillonPlugin.dll builds with Microsoft's STL and links its $calls SDK calls against the real pluginsdk.lib"
