// <stdio.h> of this build: Wine's UCRT header, plus the C99 scanf forms the UCRT defines inline on
// its common entry point, and the stream-buffer accessor <fstream> uses.
#pragma once
#include_next <stdio.h>
#ifdef __cplusplus
extern "C" {
#endif
static __inline int __cdecl vfscanf(FILE* stream, const char* format, va_list arguments) {
  return __stdio_common_vfscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, stream, format, NULL, arguments);
}
static __inline int __cdecl vscanf(const char* format, va_list arguments) {
  return vfscanf(stdin, format, arguments);
}
static __inline int __cdecl vsscanf(const char* text, const char* format, va_list arguments) {
  return __stdio_common_vsscanf(_CRT_INTERNAL_LOCAL_SCANF_OPTIONS, text, (size_t)-1, format, NULL,
                                arguments);
}
_ACRTIMP errno_t __cdecl _get_stream_buffer_pointers(FILE* stream, char*** base, char*** pointer,
                                                     int** count);
#ifdef __cplusplus
}
#endif
