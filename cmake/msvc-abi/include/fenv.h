// <fenv.h> of this build: Wine's UCRT header, plus the two functions the UCRT's declares beside.
#pragma once
#include_next <fenv.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP int __cdecl feraiseexcept(int exceptions);
_ACRTIMP int __cdecl feupdateenv(const fenv_t* environment);
#ifdef __cplusplus
}
#endif
