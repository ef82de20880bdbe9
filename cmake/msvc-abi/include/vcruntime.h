// <vcruntime.h> of this build: the Visual C++ runtime's base macros and types that Microsoft's STL
// takes from it, over Wine's UCRT headers. Written from the STL's uses of each name.
#pragma once
#define _VCRUNTIME_H

#include <corecrt.h>
#include <sal.h>
#include <vadefs.h>

// Text pasting.
#define _CRT_STRINGIZE_(text) #text
#define _CRT_STRINGIZE(text) _CRT_STRINGIZE_(text)
#define _CRT_WIDE_(text) L##text
#define _CRT_WIDE(text) _CRT_WIDE_(text)
#define _CRT_CONCATENATE_(left, right) left##right
#define _CRT_CONCATENATE(left, right) _CRT_CONCATENATE_(left, right)
#define _CRT_APPEND(left, right) _CRT_CONCATENATE(left, right)
#define _CRT_UNPARENTHESIZE_(...) __VA_ARGS__
#define _CRT_UNPARENTHESIZE(...) _CRT_UNPARENTHESIZE_ __VA_ARGS__

// Linkage: every runtime function comes from a DLL (/MD).
#ifndef _VCRTIMP
#define _VCRTIMP __declspec(dllimport)
#endif
#ifndef _CRTIMP
#define _CRTIMP __declspec(dllimport)
#endif
#if defined(_DLL) && !defined(_CRTIMP2)
#define _CRTIMP2 __declspec(dllimport)
#endif
#ifndef _MRTIMP
#define _MRTIMP __declspec(dllimport)
#endif
#ifndef _MRTIMP2
#define _MRTIMP2 __declspec(dllimport)
#endif
#ifndef _CRT_SATELLITE_1
#define _CRT_SATELLITE_1 __declspec(dllimport)
#endif
#ifndef _CRT_SATELLITE_2
#define _CRT_SATELLITE_2 __declspec(dllimport)
#endif
#ifndef _CRT_SATELLITE_CODECVT_IDS
#define _CRT_SATELLITE_CODECVT_IDS __declspec(dllimport)
#endif
#ifndef _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#endif
#define _PGLOBAL
#define _AGLOBAL

// Calling conventions and attributes (no managed code here).
#define __CRTDECL __cdecl
#define __CLRCALL_OR_CDECL __cdecl
#define __CLRCALL_PURE_OR_CDECL __cdecl
#define __CLRCALL_PURE_OR_STDCALL __stdcall
#define __CLRCALL_OR_STDCALL __stdcall
#define __CLR_OR_THIS_CALL
#define _VCRT_ALIGN(bytes) __declspec(align(bytes))
#define _CRT_ALIGN(bytes) __declspec(align(bytes))
#define _VCRT_NOALIAS __declspec(noalias)
#define _VCRT_RESTRICT __declspec(restrict)
#define _VCRT_ALLOCATOR __declspec(allocator)
#define _CRT_DEPRECATE_TEXT(text) __declspec(deprecated(text))
#define _CRT_INSECURE_DEPRECATE(replacement)
#define _CRT_INSECURE_DEPRECATE_MEMORY(replacement)
#define _CRT_SECURE_CPP_NOTHROW throw()
#define _CRT_GUARDOVERFLOW
#define _CRT_HYBRIDPATCHABLE
#define _CONST_RETURN const
#define _CRT_CONST_CORRECT_OVERLOADS
#define _UNALIGNED __unaligned
#define _MSVC_CONSTEXPR
#define _VCRUNTIME_DISABLED_WARNINGS
#ifndef _CRT_PACKING
#define _CRT_PACKING 8
#endif
#ifndef _HAS_EXCEPTIONS
#define _HAS_EXCEPTIONS 1
#endif
#ifndef _NODISCARD
#define _NODISCARD [[nodiscard]]
#endif
#ifndef _HAS_NODISCARD
#define _HAS_NODISCARD 1
#endif

#ifdef __cplusplus
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING)) extern "C" {
#define _CRT_END_C_HEADER \
  }                       \
  __pragma(pack(pop))
typedef bool __vcrt_bool;
#else
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING))
#define _CRT_END_C_HEADER __pragma(pack(pop))
typedef _Bool __vcrt_bool;
#endif

// The element count of an array, refusing pointers in C++.
#ifdef __cplusplus
extern "C++" template <typename Element, size_t Count>
char (*__countof_helper(_UNALIGNED Element (&array)[Count]))[Count];
#define __crt_countof(array) (sizeof(*__countof_helper(array)) + 0)
#else
#define __crt_countof(array) (sizeof(array) / sizeof(array[0]))
#endif

// The multibyte conversion state, with the UCRT's layout.
#ifndef _MBSTATET_DEFINED
#define _MBSTATET_DEFINED
typedef struct _Mbstatet {
  unsigned long _Wchar;
  unsigned short _Byte;
  unsigned short _State;
} _Mbstatet;
#endif

// The language levels the STL switches on, from the standard the compile asks for.
#ifdef _MSVC_LANG
#define _QUILLON_CXX_LEVEL _MSVC_LANG
#else
#define _QUILLON_CXX_LEVEL __cplusplus
#endif
#ifndef _HAS_CXX17
#define _HAS_CXX17 (_QUILLON_CXX_LEVEL > 201402L)
#endif
#ifndef _HAS_CXX20
#define _HAS_CXX20 (_HAS_CXX17 && _QUILLON_CXX_LEVEL > 201703L)
#endif
#ifndef _HAS_CXX23
#define _HAS_CXX23 (_HAS_CXX20 && _QUILLON_CXX_LEVEL > 202002L)
#endif

// The stack cookie (buffer security checks), as the compiler refers to it.
#ifdef __cplusplus
extern "C" {
#endif
extern uintptr_t __security_cookie;
void __cdecl __security_init_cookie(void);
void __cdecl __security_check_cookie(uintptr_t cookie);
#ifdef __cplusplus
}
#endif
