#pragma once
#include <cstdint>

#include "SdkExport.h"

namespace pluginsdk {

// The platform's monotonic clock in ticks of 100 ns: the performance counter on Windows,
// std::chrono::steady_clock elsewhere.
PLUGINSDK_API std::int64_t PlatformTicks();

// The host's clock: session time in ticks of 100 ns. Virtual by default: it moves only when the
// host moves it, so replays and tests are exact and instant. In real time it follows the
// platform's clock between the moments the host acts, and moving it forward means waiting for that
// time to come; what the host does at one moment (a step, a timeout, a key, a frame) takes no
// session time, however long it takes or however late the host gets to it: the clock goes on from
// that moment afterwards. So a busy machine delays a real-time session but never changes the times
// the plugin reads.
class PLUGINSDK_API HostClock {
 public:
  static constexpr std::int64_t kTicksPerSecond = 10'000'000;

  // From now on the clock follows the platform's clock, going on from the present session time.
  // A stop set before (StopAt) holds from the first instant, so a step planned at the present
  // time runs at it, not the few microseconds later the host gets to it.
  void FollowPlatformClock();
  bool RealTime() const { return realTime_; }

  std::int64_t Now() const;
  // Moves the clock forward (virtual), or waits until it gets there (real time); a time in the
  // past returns at once.
  void AdvanceTo(std::int64_t ticks);
  // What the performance counter reads, at kTicksPerSecond: the session time, in real time as in
  // virtual time, so the plugin reads the very numbers either way.
  std::int64_t Counter() const { return Now(); }

  // In real time the clock stands at `ticks` (a time come already) until Release: a step with
  // its deferred work, or a timeout, then happens at one moment, which a recording writes, so
  // its replay reads the very times this run read. Virtual time stands still anyway.
  void Hold(std::int64_t ticks);
  void Release();

  // In real time the clock goes no further than `ticks` until the next StopAt or ClearStop: a
  // scripted step planned then is run at its planned time, and nothing the host does meanwhile
  // (a frame, a key) can read a later time before it runs. Virtual time needs no stop, but one
  // set while virtual holds once real time begins.
  void StopAt(std::int64_t ticks);
  void ClearStop();

 private:
  // The platform's clock read as session time, before any hold or stop.
  std::int64_t Following() const;
  // The clock goes on from `ticks` (the time it stood at) rather than jump to Following().
  void GoOnFrom(std::int64_t ticks);

  bool realTime_ = false;
  bool held_ = false;
  std::int64_t heldTicks_ = 0;
  std::int64_t stopTicks_ = 0;
  bool stopped_ = false;
  std::int64_t now_ = 0;     // session time, while virtual
  std::int64_t origin_ = 0;  // platform ticks at session time 0 as Following() reads it
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
