// <inttypes.h> of this build: Wine's, plus the intmax_t functions the UCRT's declares.
#pragma once
#include_next <inttypes.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP intmax_t __cdecl imaxabs(intmax_t value);
_ACRTIMP imaxdiv_t __cdecl imaxdiv(intmax_t numerator, intmax_t denominator);
_ACRTIMP intmax_t __cdecl wcstoimax(const wchar_t* text, wchar_t** end, int base);
_ACRTIMP uintmax_t __cdecl wcstoumax(const wchar_t* text, wchar_t** end, int base);
#ifdef __cplusplus
}
#endif
