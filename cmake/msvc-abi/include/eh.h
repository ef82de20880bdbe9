// <eh.h> of this build: Wine's, plus the handler getters the UCRT's declares.
#pragma once
#include_next <eh.h>
extern "C" _ACRTIMP terminate_handler __cdecl _get_terminate(void);
extern "C" _ACRTIMP unexpected_handler __cdecl _get_unexpected(void);
