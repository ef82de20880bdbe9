#pragma once
#include <array>
#include <cstdint>
#include <limits>

namespace quillon {

// Days since 1970-01-01 of a civil date; a day past the month's end runs on into the next month.
std::int32_t CivilDay(int year, unsigned month, unsigned day);

// The player's local day of a moment given in UTC seconds, in the system's time zone as it was
// when this was made. A log of a million lines is read at load, so each UTC day's offset from
// UTC is kept once looked up; a day on which the offset changes is looked up moment by moment.
class LocalDays {
 public:
  LocalDays();
  // Days since 1970-01-01 in local time.
  std::int32_t DayOf(std::int64_t utcSeconds);

 private:
  struct UtcDay {
    std::int64_t day = std::numeric_limits<std::int64_t>::min();
    std::int64_t offsetSeconds = 0;
    bool steady = false;  // the same offset all day
  };
  std::array<UtcDay, 256> days_{};
};

}  // namespace quillon
