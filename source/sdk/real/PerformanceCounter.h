#pragma once
// The high-resolution performance counter: on the real host, always Windows' own.
#include "WindowsApi.h"
