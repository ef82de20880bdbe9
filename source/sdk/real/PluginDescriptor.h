#pragma once
// The module's descriptor record, laid out as the host's PluginInfo, and the plugin holder.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "BakkesModPlugin.h"

namespace BakkesMod::Plugin {

// The API build of the host's headers; the host refuses modules built for another.
inline constexpr std::int32_t kApiBuildVersion = BAKKESMOD_PLUGIN_API_VERSION;

// What getPlugin returns the address of; the host reads it as a shared pointer to the base.
using PluginHolder = std::shared_ptr<BakkesModPlugin>;

// The record a module exports as `exports`: the plugin's own field names and types, which the
// host reads through PluginInfo. Its short version and 32-bit plugin type (unsigned long on
// Windows) are the low bytes of the wider fields here, which the compiler zero-fills.
struct PluginDescriptor {
  std::int32_t apiBuildVersion;
  std::int32_t reserved;
  const char* sourceFile;
  const char* className;
  const char* displayName;
  const char* version;
  std::uint64_t pluginType;
  PluginHolder* (*create)();
  void (*destroy)();
};

static_assert(sizeof(void*) == 8, "plugins are 64-bit modules");
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
