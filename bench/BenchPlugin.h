#pragma once
#include <string_view>

#include "Host.h"
#include "LoadedPlugin.h"
#include "QuillonPlugin.h"

namespace bench {

// The module loaded in a host, in free play, past its practice check, overlay switched on; with
// `recorded`, the game event recorded from its start.
struct BenchPlugin {
  pluginsdk::Host host;
  host::LoadedPlugin loaded{host, QUILLON_PLUGIN_PATH};
  QuillonPlugin& plugin = static_cast<QuillonPlugin&>(loaded.Plugin());

  explicit BenchPlugin(bool recorded = false);
  void Fire(std::string_view shortName);
  void Car(float z);
  void Ball(float z);
};

}  // namespace bench
