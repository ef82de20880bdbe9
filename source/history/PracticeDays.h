#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon {

// The best chain of each of the latest practice days, oldest first, as the settings page plots
// them.
struct DayBests {
  static constexpr std::size_t kCapacity = 30;

  std::array<float, kCapacity> bests{};
  std::array<std::int32_t, kCapacity> days{};  // each best's local day, days since 1970-01-01
  int count = 0;
};

// The player's practice days: every local day with a finished chain, counted once, and the best
// chain of each of the latest days. Days may come in any order, as a log edited by hand or a
// clock set back gives them.
class PracticeDays {
 public:
  // A finished chain of `resets` on local day `day` (days since 1970-01-01). Days before the
  // year 0 or after 9999 are left out.
  void Add(std::int32_t day, std::uint32_t resets);
  std::uint32_t Count() const { return count_; }
  DayBests Latest() const;

 private:
  std::vector<std::uint64_t> seen_;  // a bit a day of the years 0 to 9999, made at the first day
  std::uint32_t count_ = 0;
  // The latest days, in order, with each one's best chain.
  std::array<std::int32_t, DayBests::kCapacity> latestDays_{};
  std::array<std::uint32_t, DayBests::kCapacity> latestBests_{};
  std::size_t latestCount_ = 0;
};

}  // namespace quillon
