#include "HostClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

#if defined(_WIN32)
#include "WindowsApi.h"
#endif

namespace pluginsdk {
namespace {

using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, HostClock::kTicksPerSecond>>;

}  // namespace

#if defined(_WIN32)

std::int64_t PlatformTicks() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  // Split so the product cannot overflow for any counter frequency.
  const std::int64_t perSecond = frequency.QuadPart;
  return counter.QuadPart / perSecond * HostClock::kTicksPerSecond +
         counter.QuadPart % perSecond * HostClock::kTicksPerSecond / perSecond;
}

#else

std::int64_t PlatformTicks() {
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

#endif

void HostClock::FollowPlatformClock() {
  if (realTime_) return;
  origin_ = PlatformTicks() - now_;
  realTime_ = true;
}

std::int64_t HostClock::Following() const {
  return PlatformTicks() - origin_;
}

std::int64_t HostClock::Now() const {
  if (!realTime_) return now_;
  if (held_) return heldTicks_;
  const std::int64_t following = Following();
  return stopped_ && following > stopTicks_ ? stopTicks_ : following;
}

void HostClock::AdvanceTo(std::int64_t ticks) {
  if (!realTime_) {
    if (ticks > now_) now_ = ticks;
    return;
  }
  // A sleep may end early or late by the system timer's grain; look again until the time is here.
  for (std::int64_t left = ticks - Following(); left > 0; left = ticks - Following()) {
    std::this_thread::sleep_for(Ticks(left));
  }
}

void HostClock::Hold(std::int64_t ticks) {
  held_ = true;
  heldTicks_ = ticks;
}

void HostClock::Release() {
  if (realTime_) GoOnFrom(heldTicks_);
  held_ = false;
}

void HostClock::StopAt(std::int64_t ticks) {
  const std::int64_t now = Now();
  if (realTime_) GoOnFrom(now);
  stopped_ = true;
  stopTicks_ = std::max(ticks, now);  // never back
}

void HostClock::ClearStop() {
  if (realTime_) GoOnFrom(Now());
  stopped_ = false;
}

void HostClock::GoOnFrom(std::int64_t ticks) {
  const std::int64_t platform = PlatformTicks();
  if (platform - origin_ > ticks) origin_ = platform - ticks;
}

}  // namespace pluginsdk
