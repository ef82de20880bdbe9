// Windows' synchronisation API, which Wine's <windows.h> declares.
#pragma once
#include <windows.h>
