#!/usr/bin/env bash
# Assembles what a build in the MSVC ABI with Microsoft's STL needs on Linux (cmake/msvc-abi/):
# the headers (Microsoft's STL, this project's vcruntime headers in cmake/msvc-abi/include, MinGW-w64's
# source annotations, Wine's UCRT and Windows headers, five of those in patched copies), the import
# libraries of the runtime DLLs (from the export tables of Wine's own DLLs), and the static part of the
# runtime (Microsoft STL's separately compiled sources and the start-up in cmake/msvc-abi/runtime).
# Writes OUTDIR/flags.rsp, the compile flags every file of that build takes, and OUTDIR/lib.
# Usage: scripts/msvc-abi-runtime.sh OUTDIR STLDIR   (STLDIR holds stl/inc and stl/src)
set -euo pipefail

fail() {
  echo "msvc-abi-runtime: $*" >&2
  exit 1
}
(($# == 2)) || fail "usage: scripts/msvc-abi-runtime.sh OUTDIR STLDIR"
[[ -f $2/stl/inc/yvals_core.h && -d $2/stl/src ]] || fail "$2 holds no Microsoft STL (stl/inc, stl/src)"
stl=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/../cmake/msvc-abi" && pwd)
wine_include=/usr/include/wine/wine
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
mingw_include=/usr/share/mingw-w64/include
llvm=/usr/lib/llvm-16/bin
for needed in "$llvm/clang" "$llvm/lld-link" "$llvm/llvm-dlltool" "$llvm/llvm-readobj" "$llvm/llvm-lib"; do
  [[ -x $needed ]] || fail "$needed is missing (scripts/setup.sh msvc-abi installs clang-16 lld-16 llvm-16)"
done
[[ -f $wine_include/msvcrt/corecrt.h ]] || fail "Wine's UCRT headers are missing (scripts/setup.sh msvc-abi installs libwine-dev)"
[[ -f $wine_dlls/msvcp140.dll ]] || fail "Wine's DLLs are missing in $wine_dlls (scripts/setup.sh msvc-abi installs wine64)"
[[ -f $mingw_include/sal.h ]] || fail "MinGW-w64's headers are missing (scripts/setup.sh msvc-abi installs mingw-w64-common)"

mkdir -p "$1"
out=$(cd "$1" && pwd)
rm -rf "$out/include" "$out/lib" "$out/objects"
mkdir -p "$out/include/msvcrt" "$out/include/windows" "$out/include/sal" "$out/lib" "$out/objects"
# clang is clang-cl by the name it is called with.
ln -sfn "$llvm/clang" "$out/clang-cl"

# Wine's headers where they differ from the UCRT's and Windows' in what C++ needs: mbstate_t is
# the UCRT's struct; char16_t is a C++ keyword; eh.h's functions have C linkage; clang declares
# _InterlockedCompareExchange128 itself; and `inline` stays the C++ keyword.
patch_copy() { # SOURCE TARGET OLD NEW
  python3 - "$@" <<'PY'
import sys
source, target, old, new = sys.argv[1:]
text = open(source).read()
if old not in text:
    sys.exit(f"{source} no longer holds: {old!r}")
open(target, "w").write(text.replace(old, new, 1))
PY
}
patch_copy "$wine_include/msvcrt/wchar.h" "$out/include/msvcrt/wchar.h" \
  "typedef int mbstate_t;" $'#include <vcruntime.h>\ntypedef _Mbstatet mbstate_t;'
patch_copy "$wine_include/msvcrt/uchar.h" "$out/include/msvcrt/uchar.h" \
  "typedef uint_least16_t char16_t;" $'#ifndef __cplusplus\ntypedef uint_least16_t char16_t;'
patch_copy "$out/include/msvcrt/uchar.h" "$out/include/msvcrt/uchar.h" \
  "typedef uint_least32_t char32_t;" $'typedef uint_least32_t char32_t;\n#endif'
patch_copy "$wine_include/msvcrt/eh.h" "$out/include/msvcrt/eh.h" \
  $'#include <pshpack8.h>\n' $'#include <pshpack8.h>\n#ifdef __cplusplus\nextern "C" {\n#endif\n'
patch_copy "$out/include/msvcrt/eh.h" "$out/include/msvcrt/eh.h" \
  $'#include <poppack.h>' $'#ifdef __cplusplus\n}\n#endif\n#include <poppack.h>'
patch_copy "$wine_include/windows/winnt.h" "$out/include/windows/winnt.h" \
  $'#if defined(_MSC_VER) && !defined(__clang__)\n\n#pragma intrinsic(_InterlockedCompareExchange128)' \
  $'#if defined(_MSC_VER)\n\n#pragma intrinsic(_InterlockedCompareExchange128)'
patch_copy "$wine_include/windows/windef.h" "$out/include/windows/windef.h" \
  $'#ifdef _MSC_VER\n# define inline __inline\n#endif' \
  $'#if defined(_MSC_VER) && !defined(__cplusplus)\n# define inline __inline\n#endif'
# MinGW-w64's annotations (public domain), without the one MSVC-only spelling clang refuses.
sed 's/__declspec("SAL_checkReturn")//' "$mingw_include/sal.h" >"$out/include/sal/mingw_sal.h"
cp "$mingw_include/concurrencysal.h" "$out/include/sal/"

# The compile flags, in the order the headers must be found: the STL, this build's runtime
# headers, the annotations, the patched copies, then Wine's own. Release runtime (/MD), no checked
# iterators, the STL's portable algorithms (their vectorised forms live in a library not built here).
cat >"$out/flags.rsp" <<RSP
/X
-fms-compatibility-version=19.38
/DWINE_UNICODE_NATIVE
/D_USE_STD_VECTOR_ALGORITHMS=0
-imsvc "$stl/stl/inc"
-imsvc "$here/include"
-imsvc "$out/include/sal"
-imsvc "$out/include/windows"
-imsvc "$out/include/msvcrt"
-imsvc "$wine_include/msvcrt"
-imsvc "$wine_include/windows"
RSP
compile() { # SOURCE OBJECT FLAGS...
  "$out/clang-cl" --target=x86_64-pc-windows-msvc @"$out/flags.rsp" /nologo /std:c++20 /O2 /MD /EHsc \
    /D_ITERATOR_DEBUG_LEVEL=0 "${@:3}" /c "/Fo$2" -- "$1"
}

# Import libraries from the export tables of Wine's DLLs. atexit and its kin are each module's
# own (cmake/msvc-abi/runtime/ModuleLifetime.cpp), as with Microsoft's runtime.
for dll in msvcp140 vcruntime140 ucrtbase kernel32 user32 imm32; do
  {
    echo "LIBRARY $dll.dll"
    echo EXPORTS
    "$llvm/llvm-readobj" --coff-exports "$wine_dlls/$dll.dll" | sed -n 's/^ *Name: \(.\+\)$/\1/p' |
      grep -vxE 'atexit|_onexit|at_quick_exit'
  } >"$out/lib/$dll.def"
  "$llvm/llvm-dlltool" -m i386:x86-64 -d "$out/lib/$dll.def" -l "$out/lib/$dll.lib"
done

# The part of Microsoft's STL that its import library links statically.
for source in asan_noop charconv filesystem locale0_implib nothrow sharedmutex syserror_import_lib \
  xcharconv_ryu_tables xcharconv_tables_double xcharconv_tables_float xonce2; do
  compile "$stl/stl/src/$source.cpp" "$out/objects/stl_$source.obj" -w /D_CRTBLD \
    /I "$stl/stl/src" /I "$here/stl-build"
done
"$llvm/llvm-lib" /nologo "/out:$out/lib/msvcprt_static.lib" "$out"/objects/stl_*.obj

# The static part of the C and C++ runtime: start-up, atexit, new and delete, statics, TLS.
for source in "$here"/runtime/*.cpp; do
  compile "$source" "$out/objects/runtime_$(basename "$source" .cpp).obj" /W4 /D_ACRTIMP=
done
"$llvm/llvm-lib" /nologo "/out:$out/lib/quillon_runtime.lib" "$out"/objects/runtime_*.obj
echo "msvc-abi-runtime: headers, import libraries and the static runtime in $out"
