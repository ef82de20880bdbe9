#!/usr/bin/env bash
# Proves that the stand-in SDK's declarations (source/sdk/) name every SDK function the plugin
# calls as the host's own SDK does: the same files, compiled for MSVC's ABI once against each,
# must import the same decorated names. A name differing in one const, one parameter type or in
# a move where the host's SDK copies is another function, which the real pluginsdk.dll does not
# have however well the stand-in host serves it.
# The objects must be compiled without optimisation: an inline member of an imported class is then
# still a call through its import, so it is compared too.
# Prints every name that only one side imports, demangled, and, last,
#   sdk names: N of N SDK functions the plugin calls are named alike in source/sdk and the host's SDK
# Exits 1 on any difference, 2 when it cannot run.
# Usage: scripts/check-sdk-names.sh STANDIN_OBJECT_DIR REAL_OBJECT_DIR
set -euo pipefail

fail() {
  echo "check-sdk-names: $*" >&2
  exit 2
}

(($# == 2)) || fail "usage: scripts/check-sdk-names.sh STANDIN_OBJECT_DIR REAL_OBJECT_DIR"
for tool in llvm-nm llvm-undname; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian's llvm package)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The decorated names the objects call through an import slot: every SDK class is imported, and
# so are the members of the standard library that its runtime DLL exports (Microsoft's STL
# declares them so), which are not the SDK's and are left out. In the demangled name without its
# template arguments, a function of namespace std follows its calling convention, and a datum of
# it (no parameter list) ends the name.
imports() { # FOLDER > NAMES
  local objects
  mapfile -t objects < <(find "$1" -name '*.obj' | sort)
  ((${#objects[@]})) || fail "no objects in $1"
  llvm-nm -j --undefined-only "${objects[@]}" 2>/dev/null | sed -n 's/^__imp_\(?\)/\1/p' | sort -u |
    { llvm-undname 2>/dev/null || true; } |
    awk 'BEGIN { RS = ""; FS = "\n" }
      { name = $2; while (gsub(/<[^<>]*>/, "", name)) {} }
      name !~ /__cdecl std::/ && (name ~ /\(/ || name !~ / std::[^ ]*$/) { print $1 }'
}
imports "$1" >"$work/standin"
imports "$2" >"$work/real"

demangle() { # < NAMES > DEMANGLED
  { llvm-undname 2>/dev/null || true; } | awk 'BEGIN { RS = ""; FS = "\n" } { print ($2 == "" ? $1 : $2) }'
}

status=0
while IFS=$'\t' read -r side only_here there; do
  while IFS= read -r name; do
    echo "only $side imports: $(demangle <<<"$name")"
    # The same function's names on the other side (its decorated name up to the end of the
    # scopes), which shows the difference.
    awk -v prefix="${name%%@@*}@@" 'index($0, prefix) == 1' "$there" | demangle |
      sed "s/^/  where the other has: /"
    status=1
  done < <(comm -23 "$only_here" "$there")
done <<EOF
source/sdk	$work/standin	$work/real
the host's SDK	$work/real	$work/standin
EOF

same=$(comm -12 "$work/standin" "$work/real" | wc -l)
all=$(sort -u "$work/standin" "$work/real" | wc -l)
echo "sdk names: $same of $all SDK functions the plugin calls are named alike in source/sdk and the host's SDK"
exit "$status"
