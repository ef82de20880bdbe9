#pragma once
// The high-resolution performance counter. On Windows these are the system's own; elsewhere the SDK
// library provides the same functions, backed by the host's clock.

#if defined(_WIN32)
#include "WindowsApi.h"
#else
#include "SdkExport.h"

union LARGE_INTEGER {
  long long QuadPart;
};

extern "C" {
// Current counter value in ticks; returns nonzero.
PLUGINSDK_API int QueryPerformanceCounter(LARGE_INTEGER* count);
// Ticks per second; returns nonzero.
PLUGINSDK_API int QueryPerformanceFrequency(LARGE_INTEGER* frequency);
}
#endif
