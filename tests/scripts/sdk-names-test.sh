#!/usr/bin/env bash
# scripts/check-sdk-names.sh on a "plugin" compiled for MSVC's ABI against an SDK header made here,
# once as the host's SDK declares it and once as a stand-in whose declaration differs per case.
# Each case names what it expects: the exit status and a line of the output.
# Exits 77 (skipped) when the LLVM tools are missing; scripts/setup.sh installs them for CI.
# Usage: sdk-names-test.sh scripts/check-sdk-names.sh
set -euo pipefail
check=$1
# shellcheck source=tests/scripts/needs-tools.sh
source "$(dirname "$0")/needs-tools.sh" clang++ llvm-nm llvm-undname
# shellcheck source=tests/scripts/expect-case.sh
source "$(dirname "$0")/expect-case.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/include"

# The host's declaration, with no macro defined; the stand-in's, with a case's macros.
cat >"$work/include/gadget.h" <<'EOF'
#ifndef COUNT_CONST
#define COUNT_CONST
#endif
#ifndef BOOL_CONST
#define BOOL_CONST
#endif
// A member that is not trivially copied or moved, as a handle's shared reference is not.
struct Reference {
  Reference(const Reference& other);
  Reference(Reference&& other);
  ~Reference();
};
class __declspec(dllimport) Gadget {
 public:
#ifndef WITHOUT_COPY
  Gadget(const Gadget& other);
  ~Gadget();
#endif
  int count() COUNT_CONST;
  explicit operator bool() BOOL_CONST { return true; }

 private:
  Reference reference_;
};
class __declspec(dllimport) Shelf {
 public:
  void put(Gadget gadget);
};
// The standard library's members that its runtime DLL exports are imported as well.
namespace std {
struct __declspec(dllimport) stream {
  void flush();
  static stream out;
};
}
EOF
cat >"$work/plugin.cpp" <<'EOF'
#include "gadget.h"
// Hands a handle on as std::function hands on its argument: as an rvalue.
int use(Shelf& shelf, Gadget& gadget) {
  shelf.put(static_cast<Gadget&&>(gadget));
#ifdef FLUSHES
  std::stream::out.flush();
#endif
  return gadget ? gadget.count() : 0;
}
EOF
compile() { # FOLDER [FLAG...]
  rm -rf "${work:?}/$1" && mkdir "$work/$1"
  clang++ --target=x86_64-pc-windows-msvc -c -O0 -w -I "$work/include" "${@:2}" "$work/plugin.cpp" \
    -o "$work/$1/plugin.obj"
}
compile real

last_flags=none
# NAME | the stand-in's flags | expected status | a line the output must hold. Consecutive cases of
# the same flags read the same run's output.
while IFS='|' read -r name flags expected_status expected_line; do
  if [[ $flags != "$last_flags" ]]; then
    last_flags=$flags
    # shellcheck disable=SC2086 # the flags are words
    compile standin $flags
    status=0
    "$check" "$work/standin" "$work/real" >"$work/out" 2>&1 || status=$?
  fi
  expect_case "$name" "$expected_status" "$expected_line" "$status" "$work/out"
done <<'EOF'
declared alike|                   |0|sdk names: 4 of 4 SDK functions the plugin calls are named alike in source/sdk and the host's SDK
a standard-library import on one side only, which is not the SDK's|-DFLUSHES|0|sdk names: 4 of 4 SDK functions the plugin calls are named alike in source/sdk and the host's SDK
a getter made const|-DCOUNT_CONST=const|1|only source/sdk imports: public: int __cdecl Gadget::count(void) const
the host's name beside it|-DCOUNT_CONST=const|1|  where the other has: public: int __cdecl Gadget::count(void)
and the other way round|-DCOUNT_CONST=const|1|only the host's SDK imports: public: int __cdecl Gadget::count(void)
an inline member made const|-DBOOL_CONST=const|1|only source/sdk imports: public: bool __cdecl Gadget::operator bool(void) const
a move where the host copies|-DWITHOUT_COPY|1|only source/sdk imports: public: __cdecl Gadget::Gadget(class Gadget &&)
the count says so|-DWITHOUT_COPY|1|sdk names: 3 of 5 SDK functions the plugin calls are named alike in source/sdk and the host's SDK
EOF
((failures == 0))
