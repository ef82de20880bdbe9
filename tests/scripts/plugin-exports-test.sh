#!/usr/bin/env bash
# cmake/CheckPluginExports.cmake on DLLs made here with lld-link: it passes one that exports
# `exports`, `getPlugin` and `deleteMe`, and fails each that lacks one of them, or has only longer
# names beginning with them, naming what is missing; read with llvm-readobj, and with a stand-in for
# Visual Studio's dumpbin that prints llvm-readobj's listing in dumpbin's table. Exits 77 (skipped)
# when the LLVM tools are missing.
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

# A DLL exporting the data record or the functions named: a name beginning with "exports" is
# data, any other a function.
make_dll() { # NAME EXPORT...
  local name
  {
    echo 'extern "C" {'
    for name in "${@:2}"; do
      if [[ $name == exports* ]]; then
        echo "__declspec(dllexport) extern const int $name = 1;"
      else
        echo "__declspec(dllexport) void $name() {}"
      fi
    done
    echo '}'
  } >"$work/$1.cpp"
  clang++ --target=x86_64-pc-windows-msvc -c -w "$work/$1.cpp" -o "$work/$1.obj"
  lld-link /dll /noentry /nodefaultlib /out:"$work/$1.dll" "$work/$1.obj" >/dev/null
}

failures=0
# DLL | its exports | what the check must say is missing (empty: it must pass). Each DLL has a
# longer name beside the one it lacks, so a check that matches the beginning of a name fails.
while IFS='|' read -r name exports missing; do
  # shellcheck disable=SC2086 # the exports are words
  make_dll "$name" $exports
  for lister in "$(command -v llvm-readobj)" "$work/dumpbin"; do
    status=0
    cmake -DDLL="$work/$name.dll" -DLISTER="$lister" -P "$check" >"$work/out" 2>&1 || status=$?
    # CMake wraps its message's lines: read it as one.
    tr -s ' \n' '  ' <"$work/out" >"$work/said"
    if [[ -z $missing ]] && ((status != 0)); then
      echo "FAIL $name, $(basename "$lister"): a DLL with all three exports was refused:"
    elif [[ -n $missing ]] && { ((status == 0)) || ! grep -qF "$name.dll does not export $missing:" "$work/said"; }; then
      echo "FAIL $name, $(basename "$lister"): not refused as lacking $missing:"
    else
      echo "ok $name, $(basename "$lister")"
      continue
    fi
    cat "$work/out"
    failures=$((failures + 1))
  done
done <<'EOF'
whole|exports getPlugin deleteMe deleteMeNot|
without_exports|exportsTable getPlugin deleteMe|exports
without_getPlugin|exports getPluginInfo deleteMe|getPlugin
without_deleteMe|exports getPlugin deleteMeNot|deleteMe
only_longer_names|exportsTable getPluginInfo deleteMeNot|exports, getPlugin, deleteMe
EOF
((failures == 0))
