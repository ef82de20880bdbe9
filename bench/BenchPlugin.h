#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
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

// A player's rhythm of game events, a quarter of a second apart: chains of air resets with
// dodges, a floor landing, a pause.
class HookMix {
 public:
  static constexpr std::int64_t kTicksBetweenEvents = pluginsdk::HostClock::kTicksPerSecond / 4;
  static constexpr std::size_t kLength = 12;

  explicit HookMix(BenchPlugin& b);
  void PlayNext();

 private:
  struct Event {
    std::string_view function;
    float carZ;
  };
  BenchPlugin& b_;
  std::array<Event, kLength> rhythm_;
  std::int64_t now_;
  std::size_t next_ = 0;
};

}  // namespace bench
