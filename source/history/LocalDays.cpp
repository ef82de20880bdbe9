#include "LocalDays.h"

#include <chrono>
#include <ctime>

namespace quillon {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return quotient - (value % divisor < 0 ? 1 : 0);
}

void ReadTimeZone() {
#if defined(_WIN32)
  _tzset();
#else
  tzset();
#endif
}

// Local time minus UTC at that moment, in seconds; 0 where the system cannot say (Windows knows
// no time before 1970).
std::int64_t OffsetAt(std::int64_t utcSeconds) {
  const auto moment = static_cast<std::time_t>(utcSeconds);
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &moment) != 0) return 0;
#else
  if (localtime_r(&moment, &local) == nullptr) return 0;
#endif
  const std::int64_t localSeconds =
      std::int64_t{CivilDay(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                            static_cast<unsigned>(local.tm_mday))} *
          kSecondsPerDay +
      local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return localSeconds - utcSeconds;
}

}  // namespace

std::int32_t CivilDay(int year, unsigned month, unsigned day) {
  const std::chrono::sys_days first = std::chrono::year{year} / std::chrono::month{month} / 1;
  return static_cast<std::int32_t>(first.time_since_epoch().count()) +
         static_cast<std::int32_t>(day) - 1;
}

LocalDays::LocalDays() {
  ReadTimeZone();
}

std::int32_t LocalDays::DayOf(std::int64_t utcSeconds) {
  const std::int64_t utcDay = FloorDiv(utcSeconds, kSecondsPerDay);
  UtcDay& known = days_[static_cast<std::size_t>(utcDay) % days_.size()];
  if (known.day != utcDay) {
    const std::int64_t start = utcDay * kSecondsPerDay;
    known.day = utcDay;
    known.offsetSeconds = OffsetAt(start);
    known.steady = OffsetAt(start + kSecondsPerDay - 1) == known.offsetSeconds;
  }
  const std::int64_t offset = known.steady ? known.offsetSeconds : OffsetAt(utcSeconds);
  return static_cast<std::int32_t>(FloorDiv(utcSeconds + offset, kSecondsPerDay));
}
}  // namespace quillon
