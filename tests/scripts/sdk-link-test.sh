#!/usr/bin/env bash
# scripts/check-sdk-link.sh against an SDK of three functions made here: a DLL built with lld-link
# from a declared class, its import library, one "ImGui" object, a "runtime" DLL, and a "plugin"
# object whose calls differ per case. Each case names what it expects: the exit status and a line
# of the output.
# Exits 77 (skipped) when the LLVM tools are missing; scripts/setup.sh installs them for CI.
# Usage: sdk-link-test.sh scripts/check-sdk-link.sh
set -euo pipefail
check=$1
# shellcheck source=tests/scripts/needs-tools.sh
source "$(dirname "$0")/needs-tools.sh" clang++ lld-link llvm-lib llvm-nm llvm-undname llvm-readobj llvm-dlltool
# shellcheck source=tests/scripts/expect-case.sh
source "$(dirname "$0")/expect-case.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/include" "$work/lib" "$work/imgui"

# The SDK's header: COUNT_CONST lets a plugin see a const getter the DLL does not export.
cat >"$work/include/gadget.h" <<'EOF'
#ifndef COUNT_CONST
#define COUNT_CONST
#endif
#define GADGET_IMPORT __declspec(dllimport)
class GADGET_IMPORT Gadget {
 public:
  int count() COUNT_CONST;
  int size() const;
  void rename(const char* name, int length);
};
EOF
cat >"$work/sdk.cpp" <<'EOF'
class __declspec(dllexport) Gadget {
 public:
  int count();
  int size() const;
  void rename(const char* name, int length);
};
int Gadget::count() { return 1; }
int Gadget::size() const { return 2; }
void Gadget::rename(const char*, int) {}
EOF
# The runtime: what the plugin calls of it in every case, and nothing else; as a DLL, its import
# library and a static library.
cat >"$work/runtime.cpp" <<'EOF'
extern "C" __declspec(dllexport) void* memset(void* destination, int, unsigned long long) {
  return destination;
}
extern "C" __declspec(dllexport) int _fltused = 0;
namespace std {
struct __declspec(dllexport) stream {
  explicit operator bool() const;
  operator unsigned long long() const;
};
stream::operator bool() const { return true; }
stream::operator unsigned long long() const { return 1; }
const unsigned long long rows[1][2] = {{1, 2}};
extern __declspec(dllexport) const unsigned long long (*const table)[2] = rows;
}
EOF
cat >"$work/imgui.cpp" <<'EOF'
namespace ImGui { void Text(const char*) {} }
struct ImVec2 { ImVec2(float, float); };
ImVec2::ImVec2(float, float) {}
EOF
# The plugin: every case calls the SDK and ImGui; the macros add the faults.
cat >"$work/plugin.cpp" <<'EOF'
#include "gadget.h"
extern "C" void* memset(void* destination, int value, unsigned long long size);
namespace ImGui { void Text(const char*); void ShowDemoWindow(); }
struct ImVec2 { ImVec2(float, float); };
void helperDefinedNowhere();
// Calls that each sorting rule for the runtime takes there, into nothing the runtime has.
extern "C" int definedNowhere(int);
namespace std { void missingPiece(); }
namespace __detail { void missingHelper(); }
class type_info { public: const char* missingName() const; };
// Runtime names of the shapes that parse apart: operators whose names have spaces in them, and
// a pointer to arrays, as Microsoft's STL has (std::locale::id, the tables of <charconv>).
namespace std {
struct stream {
  explicit operator bool() const;
  operator unsigned long long() const;
};
extern __declspec(dllimport) const unsigned long long (*const table)[2];
}
extern "C" __declspec(dllexport) int use(Gadget& gadget, char* buffer, const type_info& type) {
  ImGui::Text("x");
  ImVec2 position(1.0f, 2.0f);
  memset(buffer, 0, 4);
  if (!std::stream{} || std::stream{} != std::table[0][0]) return 0;
  gadget.rename(buffer, 4);
#ifdef CALLS_DEMO
  ImGui::ShowDemoWindow();
#endif
#ifdef CALLS_NOWHERE
  helperDefinedNowhere();
#endif
#ifdef CALLS_C_NOWHERE
  definedNowhere(1);
#endif
#ifdef CALLS_STD_NOWHERE
  std::missingPiece();
#endif
#ifdef CALLS_RESERVED_NOWHERE
  __detail::missingHelper();
#endif
#ifdef CALLS_TYPE_INFO_NOWHERE
  if (!type.missingName()) return 0;
#endif
#ifdef CALLS_NEW
  delete new int(1);
#endif
  (void)type;
  return gadget.count() + gadget.size();
}
EOF
compile() { # SOURCE OBJECT [FLAG...]
  clang++ --target=x86_64-pc-windows-msvc -c -O0 -w -I "$work/include" "${@:3}" "$1" -o "$2"
}
compile "$work/sdk.cpp" "$work/sdk.obj"
lld-link /dll /noentry /nodefaultlib /out:"$work/pluginsdk.dll" /implib:"$work/lib/pluginsdk.lib" \
  "$work/sdk.obj" >/dev/null
compile "$work/imgui.cpp" "$work/imgui/imgui.obj"
compile "$work/runtime.cpp" "$work/runtime.obj"
lld-link /dll /noentry /nodefaultlib /out:"$work/runtime.dll" /implib:"$work/runtime-import.lib" \
  "$work/runtime.obj" >/dev/null
llvm-lib /out:"$work/runtime-static.lib" "$work/runtime.obj"

last_run=none
# NAME | plugin's flags | runtime | expected status | a line the output must hold. Consecutive
# cases of the same flags and runtime read the same run's output.
while IFS='|' read -r name flags runtime expected_status expected_line; do
  if [[ "$flags|$runtime" != "$last_run" ]]; then
    last_run="$flags|$runtime"
    rm -rf "$work/plugin" && mkdir "$work/plugin"
    # shellcheck disable=SC2086 # the flags are words
    compile "$work/plugin.cpp" "$work/plugin/plugin.obj" $flags
    arguments=("$work/lib/pluginsdk.lib" "$work/include" "$work/imgui" "$work/plugin")
    [[ $runtime == none ]] || arguments+=("$work/$runtime")
    status=0
    "$check" "${arguments[@]}" >"$work/out" 2>&1 || status=$?
  fi
  expect_case "$name" "$expected_status" "$expected_line" "$status" "$work/out"
done <<'EOF'
everything resolved|                   |runtime.dll|0|link: 3 of 3 SDK functions the plugin calls are exported by pluginsdk.lib
everything sorted (memset, _fltused, the stream's operators and the table are the runtime's)|                   |runtime.dll|0|check-sdk-link: undefined symbols of 2 objects: SDK 3, ImGui 2, runtime 5, other 0
the runtime has them|                   |runtime.dll|0|check-sdk-link: runtime: 5 of 5 symbols resolved by runtime.dll
a data import used directly (the compiler's _fltused), which only a static part serves|                   |runtime-import.lib|1|unresolved runtime symbol: _fltused
lld-link agrees on it too|                   |runtime-import.lib|1|check-sdk-link: lld-link leaves 0 of 3 SDK symbols undefined with pluginsdk.lib, 3 without it; 1 of 5 runtime symbols with the runtime
its static library has them|                   |runtime-static.lib|0|check-sdk-link: runtime: 5 of 5 symbols resolved by runtime-static.lib
lld-link agrees|                   |runtime.dll|0|check-sdk-link: lld-link leaves 0 of 3 SDK symbols undefined with pluginsdk.lib, 3 without it; 0 of 5 runtime symbols with the runtime
a getter made const|-DCOUNT_CONST=const|runtime.dll|1|unresolved SDK symbol: public: int __cdecl Gadget::count(void) const
what the lib has instead|-DCOUNT_CONST=const|runtime.dll|1|  the library exports: public: int __cdecl Gadget::count(void)
the count says so|-DCOUNT_CONST=const|runtime.dll|1|link: 2 of 3 SDK functions the plugin calls are exported by pluginsdk.lib
lld-link agrees on it|-DCOUNT_CONST=const|runtime.dll|1|check-sdk-link: lld-link leaves 1 of 3 SDK symbols undefined with pluginsdk.lib, 3 without it; 0 of 5 runtime symbols with the runtime
an ImGui function of another file|-DCALLS_DEMO|runtime.dll|1|unresolved ImGui symbol: void __cdecl ImGui::ShowDemoWindow(void)
a call into nothing|-DCALLS_NOWHERE|runtime.dll|1|unresolved other symbol: void __cdecl helperDefinedNowhere(void)
a C-linkage call into nothing|-DCALLS_C_NOWHERE|runtime.dll|1|unresolved runtime symbol: definedNowhere
lld-link agrees on that|-DCALLS_C_NOWHERE|runtime.dll|1|check-sdk-link: lld-link leaves 0 of 3 SDK symbols undefined with pluginsdk.lib, 3 without it; 1 of 6 runtime symbols with the runtime
a standard-library name the runtime lacks|-DCALLS_STD_NOWHERE|runtime.dll|1|unresolved runtime symbol: void __cdecl std::missingPiece(void)
a reserved name the runtime lacks|-DCALLS_RESERVED_NOWHERE|runtime.dll|1|unresolved runtime symbol: void __cdecl __detail::missingHelper(void)
a type_info member the runtime lacks|-DCALLS_TYPE_INFO_NOWHERE|runtime.dll|1|unresolved runtime symbol: public: char const * __cdecl type_info::missingName(void) const
an operator new the runtime lacks|-DCALLS_NEW|runtime.dll|1|unresolved runtime symbol: void * __cdecl operator new(unsigned __int64)
no runtime at all|                   |none|2|check-sdk-link: no runtime given: the runtime's DLLs or libraries (Wine's msvcp140.dll, vcruntime140.dll, ucrtbase.dll, kernel32.dll ...) are needed to resolve its symbols
EOF
((failures == 0))
