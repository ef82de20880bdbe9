// The UCRT's terminate handler declarations, which Wine's <eh.h> holds.
#pragma once
#include <eh.h>
