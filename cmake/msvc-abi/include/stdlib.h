// <stdlib.h> of this build: Wine's UCRT header, plus what the UCRT's declares and Wine's lacks.
#pragma once
#include <errno.h>
#include <process.h>
#include_next <stdlib.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP int __cdecl _crt_at_quick_exit(void(__cdecl* function)(void));
static __inline int __cdecl at_quick_exit(void(__cdecl* function)(void)) {
  return _crt_at_quick_exit(function);
}
_ACRTIMP __declspec(noreturn) void __cdecl _invalid_parameter_noinfo_noreturn(void);
_ACRTIMP void __cdecl _invalid_parameter_noinfo(void);
#ifdef __cplusplus
}
#endif
#ifndef _CRT_SECURE_INVALID_PARAMETER
#define _CRT_SECURE_INVALID_PARAMETER(expression) ::_invalid_parameter_noinfo_noreturn()
#endif
