#pragma once
#include <cstdint>

namespace pluginsdk {

// The host's clock, in ticks of 100 ns. Virtual by default: it moves only when the host moves it,
// so replays and tests are exact and instant.
class HostClock {
 public:
  static constexpr std::int64_t kTicksPerSecond = 10'000'000;

  std::int64_t Now() const { return now_; }
  // Moves the clock forward; a time in the past leaves it where it is.
  void AdvanceTo(std::int64_t ticks) {
    if (ticks > now_) now_ = ticks;
  }

 private:
  std::int64_t now_ = 0;
};

}  // namespace pluginsdk
