#!/usr/bin/env bash
# Builds the plugin's DLL as Windows builds it: Microsoft's STL, the MSVC ABI, the real SDK's
# headers and its pluginsdk.lib, through the msvc-abi preset (clang-cl 16 and lld-link 16 on Linux,
# the same CMakeLists.txt path as Visual Studio's build; see docs/real-host.md), and the stand-in
# host beside it in the same ABI. A file the STL refuses fails the check with the compiler's
# FILE(LINE,COLUMN): error lines; an SDK function the DLL calls that pluginsdk.lib does not export
# fails the link. Then the stand-in host, quillon-host.exe, loads the DLL under Wine as the real
# host does and replays every examples/*.session, tests/cases/*.session and the real-time
# sessions of tests/replay/*.session; each must print what
# the Linux host (build/default, brought up to date here) prints and end with its exit status.
#
# The SDK comes from QUILLON_SDK_DIR, Microsoft's STL from QUILLON_MSVC_STL_DIR; each defaults to
# ../shared/host-sdk and ../shared/msvc-stl beside the repository when there. Prints, last,
# "msvc-abi: N of N sessions replay identically under Wine (...)", and exits 0 only then; a
# session that differs is named with its first differing line (exit 1). Exits 2, saying what is
# missing, when it cannot run. The build folder is build/msvc-abi (kept: a second run rebuilds
# only what changed); the replays' outputs stay in build/msvc-abi/replays.
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
command -v wine >/dev/null || missing "wine is missing (scripts/setup.sh msvc-abi installs wine64)"
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
  echo "check-msvc-abi: the plugin's DLL or the stand-in host does not build with Microsoft's STL in the MSVC ABI" >&2
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

# --- The stand-in host in the same ABI loads that DLL under Wine, as the real host does, and
# replays every example and case: each must print what the Linux host prints for it (frame
# lines, the settings page's text; CRs dropped, measured times within compare-replays' 0.05 s)
# and end with the same exit status. -------------------------------------------------------------
# The Linux host's replays are the reference: its build is brought up to date with this source.
if ! { cmake --preset default && cmake --build --preset default -j 2 --target quillon-host \
  QuillonPlugin compare-replays; } >"$log" 2>&1; then
  tail -n 40 "$log"
  missing "the Linux host (build/default: quillon-host, compare-replays) does not build; scripts/setup.sh installs its packages"
fi
linux=build/default/bin
out=$build/replays
rm -rf "$out"
mkdir -p "$out"
# Wine's output is always read from files: its background processes would hold a pipe open. One
# server is kept for all runs, in a prefix of this build's own, and stopped at the end.
export WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'rm -f "$log"; wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  # A first start on a busy machine now and then leaves the prefix unfinished: try again.
  for attempt in 1 2 3; do
    wine wineboot -i </dev/null >"$out/wineboot-$attempt.log" 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    [[ -f $WINEPREFIX/system.reg ]] && break
  done
  [[ -f $WINEPREFIX/system.reg ]] || missing "Wine could not make its prefix in $WINEPREFIX: see $out/wineboot-*.log"
fi
# (A server left running for this prefix serves as well.)
wineserver -p </dev/null >/dev/null 2>&1 || true

# Names beyond the system's code page, as the user gives them: the module, the session and the
# data folder reach the host from the wide command line and keep every character (Microsoft's
# path::string() would refuse them under Wine's code page 1252).
paths=$out/paths
mkdir -p "$paths/Сессия"
cp "$build/bin/QuillonPlugin.dll" "$paths/Модуль.dll"
printf '0 command writeconfig\n' >"$paths/Сессия/запись.session"
(cd "$paths" && wine "$root/$build/bin/quillon-host.exe" --plugin Модуль.dll --data 'Zoë€data' \
  Сессия/запись.session </dev/null >replay.txt 2>replay.err) || {
  echo "check-msvc-abi: a session in 'Сессия' with the module 'Модуль.dll' and the data folder 'Zoë€data' failed: $(tr -d '\r' <"$paths/replay.err")" >&2
  exit 1
}
[[ -f "$paths/Zoë€data/config.cfg" ]] || {
  echo "check-msvc-abi: the data folder 'Zoë€data' was not used as named" >&2
  exit 1
}

sessions=(examples/*.session tests/cases/*.session tests/replay/*.session)
# Under Wine the host replays in real time, and the plugin measures times with Windows' own
# performance counter. The host's clock stands still while a step works (HostClock::StopAt) and
# that counter does not, so a step's work shows in a measured time that spans it: a picture takes
# tenths of a second. Both hosts therefore replay each session without its pictures (a frame or
# settings step without its file; what pictures show is checked on Linux and in the MinGW build),
# and a session that still differs is replayed again, up to three times in all, in case the
# machine held a step back: a difference in what the host or the plugin does shows every time.
attempts=3
# The settings page's text is what the plugin's Dear ImGui logs while it draws, and here that is
# the SDK's 1.75, which lays a page out in text otherwise than Debian's 1.86 on Linux: a check
# box's mark and a slider's value on a line of their own above the label, a slider's value
# without braces, a button's label without brackets. The Linux host's page is read as 1.75 lays
# it out; every mark, value and label must be the same, in the same order.
as_logged_by_imgui_175() {
  sed -E -e 's/^( *)\[([x ~])\] (.+)$/\1[\2]\n\1\3/' -e 's/^( *)\{ (.+) \} (.+)$/\1\2\n\1\3/' \
    -e 's/^( *)\[ (.+) \]$/\1\2/'
}
same=0
again=()
differing=()
for session in "${sessions[@]}"; do
  name=$(basename "$(dirname "$session")")-$(basename "$session" .session)
  # Each replay runs in a folder of its own, the session's copy without pictures beside them.
  mkdir -p "$out/$name/linux" "$out/$name/windows"
  sed -E 's/^([[:space:]]*[0-9.]+[[:space:]]+(frame|settings))[[:space:]]+[^#[:space:]]+/\1/' \
    "$session" >"$out/$name/play.session"
  linux_status=0
  (cd "$out/$name/linux" && "$root/$linux/quillon-host" ../play.session </dev/null \
    >../linux.txt 2>../linux.err) || linux_status=$?
  as_logged_by_imgui_175 <"$out/$name/linux.txt" >"$out/$name/expected.txt"
  for ((attempt = 1; attempt <= attempts; ++attempt)); do
    windows_status=0
    (cd "$out/$name/windows" && wine "$root/$build/bin/quillon-host.exe" ../play.session \
      </dev/null >../windows.txt 2>../windows.err) || windows_status=$?
    difference=""
    if ! "$linux/compare-replays" "$out/$name/expected.txt" "$out/$name/windows.txt" \
      2>"$out/$name/difference.txt"; then
      difference=$(cat "$out/$name/difference.txt")
    elif ((windows_status != linux_status)); then
      difference="exit status $windows_status under Wine, $linux_status on Linux ($(head -c 300 "$out/$name/windows.err" | tr -d '\r'))"
    fi
    [[ -z $difference ]] && break
    ((attempt == 1)) && first_difference=$difference
  done
  if [[ -n $difference ]]; then
    differing+=("$session: $difference")
  else
    ((++same))
    ((attempt == 1)) || again+=("$session, whose first replay differed: $first_difference")
  fi
done
if ((${#differing[@]})); then
  printf 'check-msvc-abi: %s\n' "${differing[@]}" >&2
  echo "check-msvc-abi: ${#differing[@]} of ${#sessions[@]} sessions replay differently under Wine (outputs in $out)" >&2
  exit 1
fi
((${#again[@]} == 0)) || printf 'msvc-abi: replayed again: %s\n' "${again[@]}"
echo "msvc-abi: $same of ${#sessions[@]} sessions replay identically under Wine (Microsoft STL, MSVC ABI, real pluginsdk.lib)"
