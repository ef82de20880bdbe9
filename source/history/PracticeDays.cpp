#include "PracticeDays.h"

#include <algorithm>

#include "LocalDays.h"

namespace quillon {
namespace {

// One day of margin either side: a local day may lie a day from its UTC one.
const std::int32_t kFirstDay = CivilDay(0, 1, 1) - 1;
const std::int32_t kLastDay = CivilDay(10000, 1, 1);

}  // namespace

void PracticeDays::Add(std::int32_t day, std::uint32_t resets) {
  if (day < kFirstDay || day > kLastDay) return;
  if (seen_.empty()) seen_.resize(static_cast<std::size_t>(kLastDay - kFirstDay) / 64 + 1);
  const auto bit = static_cast<std::size_t>(day - kFirstDay);
  std::uint64_t& word = seen_[bit / 64];
  const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
  if ((word & mask) == 0) {
    word |= mask;
    ++count_;
  }

  // Where the day stands among the latest, oldest first.
  const auto begin = latestDays_.begin();
  const auto end = begin + static_cast<std::ptrdiff_t>(latestCount_);
  const auto at = std::lower_bound(begin, end, day);
  const auto index = static_cast<std::size_t>(at - begin);
  if (at != end && *at == day) {
    latestBests_[index] = std::max(latestBests_[index], resets);
    return;
  }
  if (latestCount_ == DayBests::kCapacity) {
    if (index == 0) return;  // older than every day kept
    // The oldest goes; the days before the new one move down a place.
    std::copy(begin + 1, at, begin);
    std::copy(latestBests_.begin() + 1, latestBests_.begin() + static_cast<std::ptrdiff_t>(index),
              latestBests_.begin());
    latestDays_[index - 1] = day;
    latestBests_[index - 1] = resets;
    return;
  }
  std::copy_backward(at, end, end + 1);
  std::copy_backward(latestBests_.begin() + static_cast<std::ptrdiff_t>(index),
                     latestBests_.begin() + static_cast<std::ptrdiff_t>(latestCount_),
                     latestBests_.begin() + static_cast<std::ptrdiff_t>(latestCount_) + 1);
  latestDays_[index] = day;
  latestBests_[index] = resets;
  ++latestCount_;
}

DayBests PracticeDays::Latest() const {
  DayBests latest;
  for (std::size_t i = 0; i < latestCount_; ++i) {
    latest.bests[i] = static_cast<float>(latestBests_[i]);
    latest.days[i] = latestDays_[i];
  }
  latest.count = static_cast<int>(latestCount_);
  return latest;
}

}  // namespace quillon
