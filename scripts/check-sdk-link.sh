#!/usr/bin/env bash
# Proves that objects compiled for MSVC's ABI link against the host SDK's import library: every
# symbol they leave undefined is sorted into SDK (its outer scope is a class the SDK's headers
# declare, or the library exports it), Dear ImGui, runtime (std, operators new and delete, C and
# Windows names) and other; each SDK symbol is looked up among the library's exports byte for byte
# (a name differing in one const or one parameter type is another function), and lld-link is asked
# the same question with and without the library, so the lookup cannot drift from what a linker does.
# Each runtime symbol is looked up among what the runtime's files define or export (and lld-link is
# asked again, with them), so a C-linkage call into nothing is found as well.
# Prints every unresolved symbol demangled and, last,
#   link: N of M SDK functions the plugin calls are exported by pluginsdk.lib
# Exits 1 on any unresolved SDK symbol, any ImGui symbol the ImGui objects do not define, any runtime
# symbol the runtime's files do not have, or any symbol sorted as "other" (a call into nothing this
# DLL is linked with); 2 when it cannot run.
# RUNTIME: the runtime's DLLs (their export tables are read), import or static libraries, objects,
# or module-definition files (.def) naming what a part of the runtime defines.
# The objects must be compiled with the runtime's own standard library (Microsoft's STL for its
# DLLs), so that its C++ names are the runtime's: each must resolve like any other.
# Usage: scripts/check-sdk-link.sh LIB SDK_INCLUDE_DIR IMGUI_OBJECT_DIR PLUGIN_OBJECT_DIR RUNTIME...
set -euo pipefail

fail() {
  echo "check-sdk-link: $*" >&2
  exit 2
}

(($# >= 4)) || fail "usage: scripts/check-sdk-link.sh LIB SDK_INCLUDE_DIR IMGUI_OBJECT_DIR PLUGIN_OBJECT_DIR RUNTIME..."
(($# >= 5)) || fail "no runtime given: the runtime's DLLs or libraries (Wine's msvcp140.dll, vcruntime140.dll, ucrtbase.dll, kernel32.dll ...) are needed to resolve its symbols"
lib=$1 sdk_include=$2 imgui_objects=$3 plugin_objects=$4
runtime=("${@:5}")
for tool in llvm-nm llvm-undname llvm-readobj llvm-dlltool lld-link; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian's llvm and lld packages)"
done
[[ -f $lib ]] || fail "no import library at $lib"
for file in "${runtime[@]}"; do
  [[ -f $file ]] || fail "no runtime file at $file"
done
mapfile -t imgui < <(find "$imgui_objects" -name '*.obj' | sort)
mapfile -t plugin < <(find "$plugin_objects" -name '*.obj' | sort)
((${#plugin[@]})) || fail "no objects in $plugin_objects"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The runtime as libraries, for llvm-nm and lld-link alike: a DLL's export table and a .def file
# become import libraries.
runtime_libs=()
for file in "${runtime[@]}"; do
  name=$(basename "$file")
  name=${name%.*}
  case ${file,,} in
    *.dll)
      { echo "LIBRARY $name.dll" && echo EXPORTS &&
        llvm-readobj --coff-exports "$file" | sed -n 's/^ *Name: \(.\+\)$/\1/p'; } >"$work/$name.def"
      def=$work/$name.def ;;
    *.def) def=$file ;;
    *) runtime_libs+=("$file") && continue ;;
  esac
  llvm-dlltool -m i386:x86-64 -d "$def" -l "$work/runtime-$name.lib" ||
    fail "$file: no import library could be made of it"
  runtime_libs+=("$work/runtime-$name.lib")
done

# Symbol names one a line, sorted and unique. A call through a dllimport declaration names the
# import slot, __imp_NAME; the function is NAME either way.
symbols() {
  llvm-nm -j "$@" 2>/dev/null | sed 's/^__imp_//' | sort -u
}

# What the library exports: each import has its __imp_ slot, functions and data alike.
llvm-nm -j --defined-only "$lib" 2>/dev/null | sed -n 's/^__imp_//p' | sort -u >"$work/exports"
[[ -s $work/exports ]] || fail "$lib exports nothing: not an import library"
# What the runtime has, as the linker sees it: a function import under its own name and its
# __imp_ slot's, a data import under its slot's only, and whatever a static part defines. The
# linker itself defines __ImageBase in every image.
{
  llvm-nm -j --defined-only "${runtime_libs[@]}" 2>/dev/null
  echo __ImageBase
} | sort -u >"$work/runtime"
# What the DLL needs from outside: what the plugin's objects call and do not define themselves
# (ImGui's among them, which the ImGui objects are to define), and what the ImGui objects call
# and nothing here defines.
symbols --defined-only "${imgui[@]}" >"$work/imgui-defined"
symbols --defined-only "${plugin[@]}" >"$work/plugin-defined"
sort -u "$work/imgui-defined" "$work/plugin-defined" >"$work/defined"
{
  symbols --undefined-only "${plugin[@]}" | comm -23 - "$work/plugin-defined"
  symbols --undefined-only "${imgui[@]}" | comm -23 - "$work/defined"
} | sort -u >"$work/undefined"
# The names some object uses directly, not through an import slot: only a definition of the name
# itself serves those.
llvm-nm -j --undefined-only "${plugin[@]}" "${imgui[@]}" 2>/dev/null | grep -v '^__imp_' |
  sort -u >"$work/used-directly" || true

# The classes the SDK's headers declare, by name (after an import macro or __declspec, if any): a
# call into one of them is a call into the SDK.
grep -rhoE '\b(class|struct)[[:space:]]+([A-Z_]+[[:space:]]+|__declspec\([a-z]+\)[[:space:]]*)?[A-Za-z_][A-Za-z0-9_]*' \
  --include='*.h' --include='*.hpp' "$sdk_include" | awk '{print $NF}' | sort -u >"$work/sdk-classes"

# Each name demangled: llvm-undname answers every name with the name, its demangled form (empty,
# and an error on stderr, for a C name) and a blank line.
demangle() { # < NAMES > NAME<TAB>DEMANGLED
  { llvm-undname 2>/dev/null || true; } | awk 'BEGIN { RS = ""; FS = "\n"; OFS = "\t" }
    { print $1, ($2 == "" ? $1 : $2) }'
}
demangle <"$work/undefined" >"$work/demangled"

# Sorts each undefined name: KIND<TAB>resolved|unresolved<TAB>NAME<TAB>DEMANGLED.
awk -F '\t' -v OFS='\t' '
  FILENAME == ARGV[1] { exported[$0] = 1; next }
  FILENAME == ARGV[2] { in_imgui[$0] = 1; next }
  FILENAME == ARGV[3] { sdk_class[$0] = 1; next }
  FILENAME == ARGV[4] { in_runtime[$0] = 1; next }
  FILENAME == ARGV[5] { used_directly[$0] = 1; next }

  # The outermost scope of a demangled name, template arguments dropped: "CVarWrapper" for
  # "public: int __cdecl CVarWrapper::getIntValue(void)", "" for a name in no scope. The name is
  # the last word before the parameter list, counting only what is outside angle brackets; the
  # name of an operator goes on past its spaces ("std::locale::id::operator unsigned __int64"),
  # and the parenthesis of a pointer is no parameter list ("int const (*const std::table)[2]").
  function outer_scope(text,   i, c, depth, word, scope) {
    depth = 0; word = ""
    for (i = 1; i <= length(text); i++) {
      c = substr(text, i, 1)
      if (c == "<") depth++
      else if (c == ">") depth--
      if (depth == 0 && c == "(" && substr(text, i + 1, 1) == "*") { i++; continue }
      if (depth == 0 && c == "(") break
      if (depth == 0 && c == " " && word !~ /(^|::)operator/) { word = ""; continue }
      word = word c
    }
    depth = 0; scope = ""
    for (i = 1; i <= length(word); i++) {
      c = substr(word, i, 1)
      if (c == "<") depth++
      else if (c == ">") depth--
      else if (depth == 0 && substr(word, i, 2) == "::") return scope
      else if (depth == 0) scope = scope c
    }
    return ""
  }

  {
    name = $1; text = $2; scope = outer_scope(text)
    if (name in exported) kind = "SDK"
    else if (name !~ /^\?/ || scope == "std" || scope == "type_info" || scope ~ /^__/ ||
             text ~ /operator (new|delete)/) kind = "runtime"
    else if (scope == "ImGui" || scope ~ /^Im[A-Z]/) kind = "ImGui"
    else if (scope in sdk_class) kind = "SDK"
    else kind = "other"
    if (kind == "SDK") resolved = name in exported
    else if (kind == "ImGui") resolved = name in in_imgui
    else if (kind == "runtime") resolved = name in in_runtime ||
                                           (!(name in used_directly) && ("__imp_" name) in in_runtime)
    else resolved = 0
    print kind, resolved ? "resolved" : "unresolved", name, text
  }' "$work/exports" "$work/imgui-defined" "$work/sdk-classes" "$work/runtime" "$work/used-directly" \
  "$work/demangled" >"$work/sorted"

count() { # KIND [resolved|unresolved]
  awk -F '\t' -v kind="$1" -v state="${2:-}" '$1 == kind && (state == "" || $2 == state)' \
    "$work/sorted" | wc -l
}
sdk=$(count SDK) sdk_resolved=$(count SDK resolved)
imgui_used=$(count ImGui) imgui_defined=$(count ImGui resolved)
other=$(count other)
echo "check-sdk-link: undefined symbols of $((${#plugin[@]} + ${#imgui[@]})) objects: SDK $sdk," \
  "ImGui $imgui_used, runtime $(count runtime), other $other"
echo "check-sdk-link: ImGui: $imgui_defined of $imgui_used symbols defined by the ImGui objects"
runtime_used=$(count runtime) runtime_resolved=$(count runtime resolved)
echo "check-sdk-link: runtime: $runtime_resolved of $runtime_used symbols resolved by ${runtime[*]##*/}"

# lld-link's own answer: the SDK symbols it leaves undefined with the library, and without it, and
# the runtime symbols it leaves undefined with the runtime's libraries. /force goes on past what
# stays undefined and past a symbol defined twice; the link's other complaints do not matter
# here. /demangle:no names the symbols as the objects do.
undefined_by_lld() { # OUTPUT KIND [LIB...]
  { lld-link /dll /noentry /nodefaultlib /force:unresolved /force:multiple /demangle:no \
    /out:"$work/$1.dll" "${imgui[@]}" "${plugin[@]}" "${@:3}" 2>&1 || true; } |
    sed -n 's/.*undefined symbol: \(__imp_\)\{0,1\}//p' | sort -u >"$work/$1"
  awk -F '\t' -v kind="$2" '$1 == kind { print $3 }' "$work/sorted" | sort | comm -12 - "$work/$1" | wc -l
}
with_lib=$(undefined_by_lld lld-with-lib SDK "$lib")
without_lib=$(undefined_by_lld lld-without-lib SDK)
runtime_by_lld=$(undefined_by_lld lld-with-runtime runtime "$lib" "${runtime_libs[@]}")
echo "check-sdk-link: lld-link leaves $with_lib of $sdk SDK symbols undefined with $(basename "$lib")," \
  "$without_lib without it; $runtime_by_lld of $runtime_used runtime symbols with the runtime"
status=0
if ((with_lib != sdk - sdk_resolved || without_lib != sdk || runtime_by_lld != runtime_used - runtime_resolved)); then
  echo "check-sdk-link: lld-link disagrees with the lookup among the libraries' exports"
  status=1
fi

# Every unresolved symbol, demangled; for an SDK one, what the library exports under the same
# function's name instead (its decorated name up to the end of the scopes), which shows the
# difference: a const, a parameter type, a return type.
while IFS=$'\t' read -r kind _ name text; do
  echo "unresolved $kind symbol: $text"
  if [[ $kind == SDK && $name == *@@* ]]; then
    awk -v prefix="${name%%@@*}@@" 'index($0, prefix) == 1' "$work/exports" | demangle | cut -f 2 |
      sed 's/^/  the library exports: /'
  fi
  status=1
done < <(awk -F '\t' '$2 == "unresolved"' "$work/sorted")

echo "link: $sdk_resolved of $sdk SDK functions the plugin calls are exported by $(basename "$lib")"
((sdk_resolved == sdk && imgui_defined == imgui_used && other == 0 &&
  runtime_resolved == runtime_used)) || status=1
exit "$status"
