#pragma once
#include <cstdint>
#include <memory>

#include "BakkesModPlugin.h"

namespace BakkesMod::Plugin {

// The API build this SDK describes; the host refuses modules built for another.
inline constexpr std::int32_t kApiBuildVersion = 95;

using PluginHolder = std::shared_ptr<BakkesModPlugin>;

// The record a module exports as `exports`: 64 bytes, read by the host right after loading.
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
static_assert(sizeof(PluginDescriptor) == 64);

}  // namespace BakkesMod::Plugin
