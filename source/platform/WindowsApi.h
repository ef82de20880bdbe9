#pragma once
// <windows.h>, as every file here includes it. Without NOMINMAX it defines `min` and `max` as
// macros in C++ too (Microsoft's headers do; MinGW-w64's only for C), which break
// std::numeric_limits<T>::max() and std::max in every file that includes it first.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
