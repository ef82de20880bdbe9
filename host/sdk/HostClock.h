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

  // In real time the clock stands at `ticks` (a time come already) until Release: a step with
  // its deferred work, or a timeout, then happens at one moment, which a recording writes, so
  // its replay reads the very times this run read. Virtual time stands still anyway.
  void Hold(std::int64_t ticks);
  void Release() { held_ = false; }

 private:
  bool realTime_ = false;
  bool held_ = false;
  std::int64_t heldTicks_ = 0;
  std::int64_t now_ = 0;     // session time, while virtual
  std::int64_t origin_ = 0;  // platform ticks at session time 0, in real time
};

// Holds the clock at a time while it lives (see HostClock::Hold).
class ClockHold {
 public:
  ClockHold(HostClock& clock, std::int64_t ticks) : clock_(clock) { clock_.Hold(ticks); }
  ~ClockHold() { clock_.Release(); }
  ClockHold(const ClockHold&) = delete;
  ClockHold& operator=(const ClockHold&) = delete;

 private:
  HostClock& clock_;
};

}  // namespace pluginsdk
