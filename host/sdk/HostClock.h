#pragma once
#include <cstdint>

#include "SdkExport.h"

namespace pluginsdk {

// The platform's monotonic clock in ticks of 100 ns: the performance counter on Windows,
// std::chrono::steady_clock elsewhere.
PLUGINSDK_API std::int64_t PlatformTicks();

// The host's clock: session time in ticks of 100 ns. Virtual by default: it moves only when the
// host moves it, so replays and tests are exact and instant. In real time it follows the
// platform's clock, and moving it forward means waiting for that time to come.
class PLUGINSDK_API HostClock {
 public:
  static constexpr std::int64_t kTicksPerSecond = 10'000'000;

  // From now on the clock follows the platform's clock, going on from the present session time.
  void FollowPlatformClock();
  bool RealTime() const { return realTime_; }

  std::int64_t Now() const;
  // Moves the clock forward (virtual), or waits until it gets there (real time); a time in the
  // past returns at once.
  void AdvanceTo(std::int64_t ticks);
  // What the performance counter reads, at kTicksPerSecond: the session time when virtual, the
  // platform's clock in real time.
  std::int64_t Counter() const;

 private:
  bool realTime_ = false;
  std::int64_t now_ = 0;     // session time, while virtual
  std::int64_t origin_ = 0;  // platform ticks at session time 0, in real time
};

}  // namespace pluginsdk
