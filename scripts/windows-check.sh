#!/usr/bin/env bash
# The Windows build, checked on this machine: builds the `windows` preset with MinGW-w64, checks
# what the plugin DLL exports and that no binary needs a MinGW runtime DLL, then under Wine reads
# the descriptor record through the Windows host and replays a session in real time, which must
# show what the Linux build's exact replay of it shows (measured times within 0.05 s).
# Needs the Linux `default` build (scripts/test.sh makes it), the MinGW-w64 toolchain and Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

linux=build/default/bin
windows=build/windows
out=$windows/check
session=tests/replay/realtime-practice.session

fail() {
  echo "windows-check: $*" >&2
  exit 1
}
# shellcheck source=scripts/progress.sh
source scripts/progress.sh
now_ms() { echo $(($(date +%s%N) / 1000000)); }
elapsed_since() { duration_ms $(($(now_ms) - $1)); }

[[ -x $linux/quillon-host && -x $linux/compare-replays ]] ||
  fail "build the Linux default preset first (scripts/test.sh)"

check_start=$(now_ms)
start=$check_start
mkdir -p "$out"
cmake --preset windows >/dev/null
# The build's lines go to a file, shown only when it fails.
cmake --build --preset windows -j "$(nproc)" >"$out/build.log" 2>&1 ||
  { cat "$out/build.log"; fail "the Windows build failed"; }
echo "windows-check: Windows build: $(elapsed_since "$start")"

# --- What the plugin DLL exports: the record as data, the two functions as code, and besides
# them only members of the SDK base class BakkesModPlugin, which the SDK declares exported. ------
x86_64-w64-mingw32-objdump -p -h "$windows/bin/QuillonPlugin.dll" >"$out/QuillonPlugin.objdump"
section_starts=() section_ends=() section_kinds=()
rvas=()
declare -A rva_of  # export name -> its address relative to the image base
table=""
while read -r line; do
  if [[ $line =~ ^ImageBase[[:space:]]+([0-9a-fA-F]+)$ ]]; then
    image_base=$((16#${BASH_REMATCH[1]}))
  elif [[ $line =~ ^[0-9]+\ \.[A-Za-z_]+\ +([0-9a-f]+)\ +([0-9a-f]+)\  ]]; then
    section_starts+=($((16#${BASH_REMATCH[2]})))
    section_ends+=($((16#${BASH_REMATCH[2]} + 16#${BASH_REMATCH[1]})))
    read -r flags
    if [[ $flags == *CODE* ]]; then section_kinds+=(code); else section_kinds+=(data); fi
  elif [[ $line == "Export Address Table -- Ordinal Base"* ]]; then
    table=addresses
  elif [[ $line == "[Ordinal/Name Pointer] Table" ]]; then
    table=names
  elif [[ -z $line ]]; then
    table=""
  elif [[ $table == addresses && $line =~ ^\[\ *([0-9]+)\]\ \+base\[\ *[0-9]+\]\ +([0-9a-f]+)\ Export\ RVA ]]; then
    rvas[${BASH_REMATCH[1]}]=$((16#${BASH_REMATCH[2]}))
  elif [[ $table == names && $line =~ ^\[\ *([0-9]+)\]\ (.+)$ ]]; then
    rva_of[${BASH_REMATCH[2]}]=${rvas[${BASH_REMATCH[1]}]}
  fi
done <"$out/QuillonPlugin.objdump"
declare -A kind_of  # export name -> code | data, from the section it lies in
for name in "${!rva_of[@]}"; do
  address=$((image_base + rva_of[$name]))
  for i in "${!section_starts[@]}"; do
    if ((address >= section_starts[i] && address < section_ends[i])); then
      kind_of[$name]=${section_kinds[i]}
    fi
  done
done
[[ ${kind_of[exports]:-} == data ]] || fail "QuillonPlugin.dll does not export 'exports' as data"
[[ ${kind_of[getPlugin]:-} == code ]] || fail "QuillonPlugin.dll does not export getPlugin"
[[ ${kind_of[deleteMe]:-} == code ]] || fail "QuillonPlugin.dll does not export deleteMe"
for name in "${!rva_of[@]}"; do
  case $name in
    exports | getPlugin | deleteMe | *N9BakkesMod6Plugin15BakkesModPlugin*) ;;
    *) fail "QuillonPlugin.dll exports $name by accident" ;;
  esac
done
echo "windows-check: QuillonPlugin.dll exports ${#rva_of[@]} names, as intended: ${!rva_of[*]}"

# --- The C++ runtime is inside each binary: none needs a MinGW DLL. ----------------------------
for binary in QuillonPlugin.dll pluginsdk.dll quillon-host.exe; do
  x86_64-w64-mingw32-objdump -p "$windows/bin/$binary" >"$out/$binary.objdump"
  if grep -Ei "DLL Name: (libstdc|libgcc|libwinpthread)" "$out/$binary.objdump"; then
    fail "$binary needs a MinGW runtime DLL"
  fi
done

# --- The plugin's steady time comes from Windows' own performance counter: it imports both
# functions from KERNEL32.dll, and the SDK library has no stand-in for them. ---------------------
declare -A counter_source  # function -> DLL it is imported from
dll=""
while read -r line; do
  if [[ $line =~ ^DLL\ Name:\ (.+)$ ]]; then
    dll=${BASH_REMATCH[1]}
  elif [[ $line == "The Export Tables"* ]]; then
    dll="its own exports"
  elif [[ $line =~ \ (QueryPerformance(Counter|Frequency))$ ]]; then
    counter_source[${BASH_REMATCH[1]}]+="$dll "
  fi
done <"$out/QuillonPlugin.dll.objdump"
for function in QueryPerformanceCounter QueryPerformanceFrequency; do
  [[ ${counter_source[$function]:-} == "KERNEL32.dll " ]] ||
    fail "QuillonPlugin.dll takes $function from '${counter_source[$function]:-nowhere}', not KERNEL32.dll"
done
if grep -q "\] QueryPerformance" "$out/pluginsdk.dll.objdump"; then
  fail "pluginsdk.dll exports a stand-in performance counter"
fi

# --- Under Wine. Its output is always read from files: its background processes would hold a
# pipe open. One server is kept for all runs and stopped at the end. -------------------------
export WINEPREFIX="$PWD/$windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  start=$(now_ms)
  # A first start on a busy machine now and then reports a failure (rundll32 not starting) and
  # leaves the prefix unfinished: try again before giving up.
  for attempt in 1 2 3; do
    wine wineboot -i </dev/null >"$out/wineboot-$attempt.log" 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    [[ -f $WINEPREFIX/system.reg ]] && break
  done
  [[ -f $WINEPREFIX/system.reg ]] || fail "Wine could not make its prefix: see $out/wineboot-*.log"
  echo "windows-check: new Wine prefix: $(elapsed_since "$start")"
fi
wineserver -p </dev/null >/dev/null 2>&1

start=$(now_ms)
wine "$windows/bin/quillon-host.exe" --describe </dev/null >"$out/describe.txt" \
  2>"$out/describe.err" || fail "quillon-host.exe --describe failed: $(cat "$out/describe.err")"
mapfile -t expected <tests/replay/descriptor.expected
mapfile -t actual < <(tr -d '\r' <"$out/describe.txt")
((${#actual[@]} == ${#expected[@]})) ||
  fail "the descriptor listing has ${#actual[@]} lines, not ${#expected[@]}: see $out/describe.txt"
for i in "${!expected[@]}"; do
  # In the expected listing '*' stands for any text (the builder's folder); '\' counts as '/'.
  line=${actual[i]//\\//}
  # shellcheck disable=SC2053  # the expected line is a pattern
  [[ $line == ${expected[i]} ]] || fail "descriptor field: expected '${expected[i]}', got '${actual[i]}'"
done
echo "windows-check: descriptor record read under Wine, every field as expected: $(elapsed_since "$start")"

"$linux/quillon-host" "$session" >"$out/linux-replay.txt"
start=$(now_ms)
wine "$windows/bin/quillon-host.exe" "$session" </dev/null >"$out/windows-replay.txt" \
  2>"$out/windows-replay.err" || fail "the replay under Wine failed: $(cat "$out/windows-replay.err")"
took=$(($(now_ms) - start))
echo "windows-check: real-time replay under Wine: $(duration_ms "$took")"
# It waited for every step: it took at least the time of the last one (a frame line's "S.mmm").
last_step=$(tail -n 1 "$out/linux-replay.txt")
last_step=${last_step%% *}
last_step_ms=$((10#${last_step%.*} * 1000 + 10#${last_step#*.}))
((took >= last_step_ms)) ||
  fail "the replay under Wine took $took ms, less than the session's $last_step_ms ms"
"$linux/compare-replays" "$out/linux-replay.txt" "$out/windows-replay.txt"
echo "windows-check: the Windows replay shows what the Linux replay shows"

# --- Paths as the user gives them: a module named from the current folder, and names beyond the
# system's code page (read from the wide command line) for the module, the session and the data
# folder. ---------------------------------------------------------------------------------------
start=$(now_ms)
paths=$out/paths
rm -rf "$paths"
mkdir -p "$paths/Сессия"
cp "$windows/bin/QuillonPlugin.dll" "$paths/Модуль.dll"
printf '0 command writeconfig\n' >"$paths/Сессия/запись.session"
(cd "$paths" && wine "$OLDPWD/$windows/bin/quillon-host.exe" --plugin Модуль.dll --describe \
  </dev/null >describe.txt 2>describe.err) || fail "--plugin Модуль.dll failed: $(cat "$paths/describe.err")"
module_line=$(head -n 1 "$paths/describe.txt" | tr -d '\r')
[[ ${module_line//\\//} == "module "*"/paths/Модуль.dll" ]] ||
  fail "--describe names '$module_line', not the module in the current folder"
(cd "$paths" && wine "$OLDPWD/$windows/bin/quillon-host.exe" --plugin Модуль.dll --data 'Zoë€data' \
  Сессия/запись.session </dev/null >replay.txt 2>replay.err) ||
  fail "a session in 'Сессия' with the data folder 'Zoë€data' failed: $(cat "$paths/replay.err")"
[[ -f "$paths/Zoë€data/config.cfg" ]] || fail "the data folder 'Zoë€data' was not used as named"
echo "windows-check: paths from the current folder and beyond the code page: $(elapsed_since "$start")"

echo "windows-check: every check passed ($(elapsed_since "$check_start") in all)"
