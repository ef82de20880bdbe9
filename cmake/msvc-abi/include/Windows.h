// Windows is blind to the case of file names: code spells this header with a capital W, Wine names
// it in lower case.
#pragma once
#include <windows.h>
