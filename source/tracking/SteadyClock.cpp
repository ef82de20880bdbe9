#include "SteadyClock.h"

#include "PerformanceCounter.h"

namespace quillon {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
// What the counter runs at on Windows 10 and later.
constexpr std::int64_t kUsualFrequency = 10'000'000;

inline std::int64_t Nanoseconds(std::int64_t ticks, std::int64_t perSecond) {
  return ticks / perSecond * kNanosecondsPerSecond +
         ticks % perSecond * kNanosecondsPerSecond / perSecond;
}

// The system fixes the frequency at boot, so it is asked once.
std::int64_t CounterFrequency() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER perSecond;
    QueryPerformanceFrequency(&perSecond);
    return perSecond.QuadPart;
  }();
  return frequency;
}

}  // namespace

std::int64_t SteadyNowNanoseconds() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const std::int64_t perSecond = CounterFrequency();
  // The same arithmetic either way; divisions by a constant are cheap multiplications.
  if (perSecond == kUsualFrequency) return Nanoseconds(counter.QuadPart, kUsualFrequency);
  return Nanoseconds(counter.QuadPart, perSecond);
}

}  // namespace quillon
