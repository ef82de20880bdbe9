#pragma once
// The plugin's SDK headers for the real host: this folder on the include path in place of
// source/sdk/, with the host SDK's include/ folder after it, builds the plugin's files against the
// host's own declarations. Only the four headers the plugin includes live here; each brings what
// the stand-in's header of the same name brings.

// First: the host's GameWrapper declares GetDataFolder only where the standard library has
// already announced std::filesystem, and libstdc++ announces it only in <filesystem>.
#include <filesystem>

#include "bakkesmod/plugin/bakkesmodplugin.h"
