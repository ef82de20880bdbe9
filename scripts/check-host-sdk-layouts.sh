#!/usr/bin/env bash
# Proves that what crosses between the stand-in host's core and the handles over the host's own
# SDK agrees in the MSVC ABI. In the msvc-abi build the core (and the host program) is compiled
# against the stand-in SDK's headers (source/sdk) and the handles against the SDK's (host/sdk/real),
# each unaware of the other's declarations, so only the layouts can agree:
#   - the plugin's base class: its members and virtual slots (the host fills cvarManager and
#     gameWrapper and calls onLoad and onUnload), and the shared pointers to the handles;
#   - the settings-window interface's virtual slots: the host calls DrawSettingsPage,
#     GetSettingsTitle and AttachGuiContext, which must be the SDK's RenderSettings, GetPluginName
#     and SetImGuiContext;
#   - the value types the core's headers name (LinearColor, Vector, Vector2F, Vector2): their
#     layouts and how they are passed and returned, by value, to and from functions and members.
# Each side is compiled once (clang-cl, the msvc-abi build's flags) to the compiler's record and
# vtable dumps and its IR of a few calls; the stand-in's names are put for the SDK's and the two
# are compared. Prints every difference, and last
#   host sdk layouts: N of N record, vtable and call layouts agree in source/sdk and the host's SDK
# Exits 1 on any difference, 2 when it cannot run.
# Usage: scripts/check-host-sdk-layouts.sh MSVC_ABI_BUILD_DIR (after its configure)
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check-host-sdk-layouts: $*" >&2
  exit 2
}
(($# == 1)) || fail "usage: scripts/check-host-sdk-layouts.sh MSVC_ABI_BUILD_DIR"
cache=$1/CMakeCache.txt
[[ -f $cache ]] || fail "no $cache: configure the msvc-abi build first"
runtime=$(sed -n 's/^QUILLON_MSVC_ABI_RUNTIME:[A-Z]*=//p' "$cache")
[[ -n $runtime ]] || runtime=$1/_deps/msvc-abi-runtime
sdk_include=$1/_deps/sdk-include
[[ -x $runtime/clang-cl && -f $runtime/flags.rsp ]] || fail "no MSVC-ABI runtime in $runtime"
# Absolute: the probes compile in a folder of their own.
runtime=$(cd "$runtime" && pwd)
[[ -d $sdk_include/bakkesmod ]] || fail "no SDK headers in $sdk_include"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both sides: layouts (sizeof makes the compiler lay each type out, and dump it), the virtual
# slots (a call through each interface dumps its table) and calls passing each value type.
cat >"$work/probe.inc" <<'PROBE'
using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginSettingsWindow;
static_assert(sizeof(BakkesModPlugin) + sizeof(std::shared_ptr<CVarManagerWrapper>) +
              sizeof(std::shared_ptr<GameWrapper>) + sizeof(PluginSettingsWindow) +
              sizeof(LinearColor) + sizeof(Vector) + sizeof(Vector2F) + sizeof(Vector2));
#define VALUE_CALLS(T)   \
  T Give##T();           \
  void Take##T(T value); \
  struct Member##T {     \
    T Give();            \
    void Take(T value);  \
  };
VALUE_CALLS(LinearColor)
VALUE_CALLS(Vector)
VALUE_CALLS(Vector2F)
VALUE_CALLS(Vector2)
void Probe(BakkesModPlugin* plugin, PluginSettingsWindow* window, MemberLinearColor color,
           MemberVector vector, MemberVector2F vector2F, MemberVector2 vector2) {
  plugin->onLoad();
  delete window;
  TakeLinearColor(GiveLinearColor());
  TakeVector(GiveVector());
  TakeVector2F(GiveVector2F());
  TakeVector2(GiveVector2());
  color.Take(color.Give());
  vector.Take(vector.Give());
  vector2F.Take(vector2F.Give());
  vector2.Take(vector2.Give());
}
PROBE
cat >"$work/standin.cpp" <<'PROBE'
#include "BakkesModPlugin.h"
#include "PluginSettingsWindow.h"
#include "WrapperStructs.h"
#include "probe.inc"
PROBE
cat >"$work/real.cpp" <<'PROBE'
#include <cstdint>
#include <string>
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "probe.inc"
PROBE

dump() { # SIDE INCLUDE_FLAGS... > normalised dump
  local side=$1
  shift
  # One compile: the dumps on standard output, the IR in the working folder (whatever /Fo says).
  (cd "$work" && "$runtime/clang-cl" --target=x86_64-pc-windows-msvc "@$runtime/flags.rsp" \
    /std:c++20 /EHsc /MD /D_ITERATOR_DEBUG_LEVEL=0 /c "$@" "$side.cpp" /clang:-S /clang:-emit-llvm \
    -Xclang -fdump-record-layouts -Xclang -fdump-vtable-layouts) >"$work/$side.dump" 2>"$work/$side.err" ||
    { cat "$work/$side.err" >&2; fail "the $side probe does not compile"; }
  # Each record and table of the probed types, and each IR declaration of the calls, as lines
  # "ITEM<tab>LINE", items in name order: the compilers lay out and dump in their own order.
  {
    awk -v OFS='\t' '
      /^\*\*\* Dumping AST Record Layout/ { getline; item = "" }
      /^VFTable (indices )?for/ { item = "" }
      /^ +0 \| (class|struct) (BakkesMod::Plugin::(BakkesModPlugin|PluginSettingsWindow)|std::shared_ptr<class (CVarManagerWrapper|GameWrapper)>|LinearColor|Vector|Vector2F|Vector2)$/ { item = $0 }
      /^VFTable for .BakkesMod::Plugin::(BakkesModPlugin|PluginSettingsWindow)/ { item = $0 }
      item != "" && NF { print item, $0 }' "$work/$side.dump"
    grep -E '^declare .*(Give|Take)' "$work/$side.ll" | sed 's/ #[0-9]*$//' | awk -v OFS='\t' '{ match($0, /@"[^"]*"/); print substr($0, RSTART, RLENGTH), $0 }'
  } | sed -e 's/std::uintptr_t/uintptr_t/g' \
        -e 's/DrawSettingsPage/RenderSettings/g; s/GetSettingsTitle/GetPluginName/g; s/AttachGuiContext/SetImGuiContext/g' |
    sort -s -t $'\t' -k1,1
}
dump standin /I "$PWD/source/sdk" >"$work/standin.txt"
dump real /D_BAKKESMOD /imsvc "$(cd "$sdk_include" && pwd)" >"$work/real.txt"

status=0
if ! diff -u --label source/sdk --label "the host's SDK" <(cut -f2 "$work/standin.txt") <(cut -f2 "$work/real.txt"); then
  status=1
fi
# An item agrees when all its lines do.
items() { # DUMP > ITEM<tab>ITS LINES, one line per item
  awk -F '\t' '$1 != item { if (item != "") print item "\t" lines; item = $1; lines = "" } { lines = lines "|" $2 }
                END { if (item != "") print item "\t" lines }' "$1" | sort
}
same=$(comm -12 <(items "$work/standin.txt") <(items "$work/real.txt") | wc -l)
all=$(sort -u <(items "$work/standin.txt" | cut -f1) <(items "$work/real.txt" | cut -f1) | wc -l)
((same > 0 && same == all)) || status=1
echo "host sdk layouts: $same of $all record, vtable and call layouts agree in source/sdk and the host's SDK"
exit "$status"
