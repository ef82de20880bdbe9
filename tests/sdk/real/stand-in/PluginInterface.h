#pragma once
// A stand-in for the host SDK's plugin header, written for the adapter's test: only what the
// adapter uses, with the host's names, types and order of declaration.
#include <cstdint>
#include <memory>

#define BAKKESMOD_PLUGIN_API_VERSION 95
#define BAKKESMOD_PLUGIN_EXPORT

namespace BakkesMod::Plugin {

class BakkesModPlugin {
 public:
  virtual void onLoad() {}
  virtual void onUnload() {}
};

// The descriptor record as the host reads it.
struct PluginInfo {
  short apiBuildVersion;
  const char* fileName;
  const char* className;
  const char* pluginName;
  const char* pluginVersion;
  const unsigned long pluginType;
  std::uintptr_t (*initializeFunc)();
  void (*delFunc)();
};

}  // namespace BakkesMod::Plugin
