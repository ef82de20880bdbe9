#pragma once
#include <cstdint>
#include <optional>

namespace quillon {

// Tells the moment a chain first passes the all-time best as it stood when the chain began. A
// best of 0 (the first chain ever) is no news.
class NewBestWatch {
 public:
  // For every counted reset: the chain's count with it, and the all-time best before it.
  // Returns the count when this reset is the chain's first beyond that best.
  std::optional<std::uint32_t> Counted(std::uint32_t chainCount, std::uint32_t bestBefore) {
    if (chainCount == 1) {
      bestAtStart_ = bestBefore;
      passed_ = false;
    }
    if (passed_ || bestAtStart_ == 0 || chainCount <= bestAtStart_) return std::nullopt;
    passed_ = true;
    return chainCount;
  }

 private:
  std::uint32_t bestAtStart_ = 0;
  bool passed_ = false;
};

}  // namespace quillon
