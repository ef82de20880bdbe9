#!/usr/bin/env bash
# cmake/CheckPluginExports.cmake on DLLs made here with lld-link: it passes one that exports
# `exports`, `getPlugin` and `deleteMe`, and fails one without `deleteMe`, naming it; read with
# llvm-readobj, and with a stand-in for Visual Studio's dumpbin that prints llvm-readobj's listing in
# dumpbin's table. Exits 77 (skipped) when the LLVM tools are missing.
# Usage: plugin-exports-test.sh cmake/CheckPluginExports.cmake
set -euo pipefail
check=$1
# shellcheck source=tests/scripts/needs-tools.sh
source "$(dirname "$0")/needs-tools.sh" clang++ lld-link llvm-readobj
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# dumpbin /nologo /exports DLL, as Visual Studio's prints it.
cat >"$work/dumpbin" <<'SCRIPT'
#!/usr/bin/env bash
printf '\nDump of file %s\n\nFile Type: DLL\n\n' "$3"
printf '    ordinal hint RVA      name\n\n'
llvm-readobj --coff-exports "$3" | awk '
  /Ordinal:/ { ordinal = $2 } /Name:/ { name = $2 }
  /RVA:/ { rva = toupper(substr($2, 3)); while (length(rva) < 8) rva = "0" rva
           printf "%11d %4X %s %s = %s\n", ordinal, hint++, rva, name, name }'
printf '\n  Summary\n\n        1000 .text\n'
SCRIPT
chmod +x "$work/dumpbin"

make_dll() { # NAME DEFINES_DELETEME
  cat >"$work/$1.cpp" <<SOURCE
extern "C" {
__declspec(dllexport) extern const int exports = 1;
__declspec(dllexport) void* getPlugin() { return nullptr; }
$( (($2)) && echo '__declspec(dllexport) void deleteMe() {}')
__declspec(dllexport) void deleteMeNot() {}
}
SOURCE
  clang++ --target=x86_64-pc-windows-msvc -c -w "$work/$1.cpp" -o "$work/$1.obj"
  lld-link /dll /noentry /nodefaultlib /out:"$work/$1.dll" "$work/$1.obj" >/dev/null
}
make_dll whole 1
make_dll without_deleteMe 0

failures=0
for lister in "$(command -v llvm-readobj)" "$work/dumpbin"; do
  if ! cmake -DDLL="$work/whole.dll" -DLISTER="$lister" -P "$check" >"$work/out" 2>&1; then
    echo "FAIL $(basename "$lister"): a DLL with all three exports was refused:"
    cat "$work/out"
    failures=$((failures + 1))
  fi
  if cmake -DDLL="$work/without_deleteMe.dll" -DLISTER="$lister" -P "$check" >"$work/out" 2>&1 ||
    ! grep -q "without_deleteMe.dll does not export deleteMe:" "$work/out"; then
    echo "FAIL $(basename "$lister"): a DLL without deleteMe (but with deleteMeNot) was not refused by name:"
    cat "$work/out"
    failures=$((failures + 1))
  fi
done
((failures == 0)) && echo "ok: the exports check passes the whole DLL and names what the other lacks"
