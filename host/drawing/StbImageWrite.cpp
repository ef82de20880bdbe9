// The PNG encoder's code, for builds without Debian's libstb (which carries it on Linux).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
