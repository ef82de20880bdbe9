#include "SteadyClock.h"

#include "PerformanceCounter.h"

namespace quillon {

std::int64_t SteadyNowNanoseconds() {
  constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  const std::int64_t ticks = counter.QuadPart;
  const std::int64_t perSecond = frequency.QuadPart;
  return ticks / perSecond * kNanosecondsPerSecond +
         ticks % perSecond * kNanosecondsPerSecond / perSecond;
}

}  // namespace quillon
