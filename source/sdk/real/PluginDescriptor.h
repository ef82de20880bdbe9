#pragma once
// The module's descriptor record, the one of the stand-in SDK (../PluginRecord.h), checked field
// by field against the host's PluginInfo, and the API build of the host's headers.
#include <cstddef>
#include <cstdint>

#include "../PluginRecord.h"
#include "BakkesModPlugin.h"

namespace BakkesMod::Plugin {

// The API build of the host's headers; the host refuses modules built for another.
inline constexpr std::int32_t kApiBuildVersion = BAKKESMOD_PLUGIN_API_VERSION;

// The host reads the record through PluginInfo. Its short version and 32-bit plugin type
// (unsigned long on Windows) are the low bytes of the wider fields here, which the compiler
// zero-fills.
static_assert(static_cast<short>(kApiBuildVersion) == kApiBuildVersion,
              "the host reads the version as a short");
static_assert(sizeof(PluginDescriptor) == sizeof(PluginInfo));
static_assert(offsetof(PluginDescriptor, apiBuildVersion) == offsetof(PluginInfo, apiBuildVersion));
static_assert(offsetof(PluginDescriptor, sourceFile) == offsetof(PluginInfo, fileName));
static_assert(offsetof(PluginDescriptor, className) == offsetof(PluginInfo, className));
static_assert(offsetof(PluginDescriptor, displayName) == offsetof(PluginInfo, pluginName));
static_assert(offsetof(PluginDescriptor, version) == offsetof(PluginInfo, pluginVersion));
static_assert(offsetof(PluginDescriptor, pluginType) == offsetof(PluginInfo, pluginType));
static_assert(offsetof(PluginDescriptor, create) == offsetof(PluginInfo, initializeFunc));
static_assert(offsetof(PluginDescriptor, destroy) == offsetof(PluginInfo, delFunc));

}  // namespace BakkesMod::Plugin
