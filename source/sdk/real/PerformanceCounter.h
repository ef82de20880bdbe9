#pragma once
// The high-resolution performance counter: on the real host, always Windows' own. Without these
// two, <windows.h> defines `min` and `max` as macros in C++ too, which break
// std::numeric_limits<T>::max() in every file that includes this one first.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
