#pragma once
// The record a module exports as `exports`, and the holder getPlugin hands out: one declaration
// for both SDKs the plugin builds against, this folder's and the real host's through real/, so
// the two cannot drift apart. Each SDK's PluginDescriptor.h includes it after its plugin base.
#include <cstdint>
#include <memory>

namespace BakkesMod::Plugin {

class BakkesModPlugin;

// What getPlugin returns the address of; the host reads it as a shared pointer to the base.
using PluginHolder = std::shared_ptr<BakkesModPlugin>;

// 64 bytes, read by the host right after loading.
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
