#pragma once
#include <cstdint>

#include "BakkesModPlugin.h"
#include "PluginRecord.h"

namespace BakkesMod::Plugin {

// The API build this SDK describes; the host refuses modules built for another.
inline constexpr std::int32_t kApiBuildVersion = 95;

}  // namespace BakkesMod::Plugin
