// <wchar.h> of this build: Wine's UCRT header (its copy in the runtime folder has the UCRT's
// mbstate_t), plus the C99 wide scanf forms and the few functions it lacks.
#pragma once
#include_next <wchar.h>
#ifdef __cplusplus
extern "C" {
#endif
static __inline int __cdecl vfwscanf(FILE* stream, const wchar_t* format, va_list arguments) {
  return __stdio_common_vfwscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, stream, format, NULL,
                                 arguments);
}
static __inline int __cdecl vwscanf(const wchar_t* format, va_list arguments) {
  return vfwscanf(stdin, format, arguments);
}
static __inline int __cdecl vswscanf(const wchar_t* text, const wchar_t* format,
                                     va_list arguments) {
  return __stdio_common_vswscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, text, (size_t)-1, format, NULL,
                                 arguments);
}
static __inline int __cdecl fwide(FILE* stream, int mode) {
  (void)stream;
  return mode;
}
static __inline int __cdecl mbsinit(const mbstate_t* state) {
  return state == NULL || state->_Wchar == 0;
}
_ACRTIMP long double __cdecl wcstold(const wchar_t* text, wchar_t** end);
#ifdef __cplusplus
}
#endif
