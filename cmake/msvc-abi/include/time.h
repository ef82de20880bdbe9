// <time.h> of this build: Wine's UCRT header, plus timespec and the _s conversions as the UCRT
// declares them (time_t is 64 bits).
#pragma once
#include_next <time.h>
#ifndef _CRT_NO_TIME_T
struct _timespec32 {
  __time32_t tv_sec;
  long tv_nsec;
};
struct _timespec64 {
  __time64_t tv_sec;
  long tv_nsec;
};
struct timespec {
  time_t tv_sec;
  long tv_nsec;
};
#endif
#ifndef TIME_UTC
#define TIME_UTC 1
#endif
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP int __cdecl _timespec32_get(struct _timespec32* time, int base);
_ACRTIMP int __cdecl _timespec64_get(struct _timespec64* time, int base);
_ACRTIMP errno_t __cdecl _gmtime64_s(struct tm* parts, const __time64_t* time);
static __inline int __cdecl timespec_get(struct timespec* time, int base) {
  return _timespec64_get((struct _timespec64*)time, base);
}
static __inline errno_t __cdecl localtime_s(struct tm* parts, const time_t* time) {
  return _localtime64_s(parts, time);
}
static __inline errno_t __cdecl gmtime_s(struct tm* parts, const time_t* time) {
  return _gmtime64_s(parts, time);
}
#ifdef __cplusplus
}
#endif
