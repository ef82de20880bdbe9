// <new.h> of this build: the runtime's new handler, which operator new calls when memory runs out.
#pragma once
#include <vcruntime_new.h>

extern "C" {
typedef int(__cdecl* _PNH)(size_t);
_VCRTIMP _PNH __cdecl _set_new_handler(_PNH handler);
_VCRTIMP _PNH __cdecl _query_new_handler(void);
_VCRTIMP int __cdecl _callnewh(size_t size);
}
