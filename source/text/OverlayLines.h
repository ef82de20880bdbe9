#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "NumberFormat.h"

namespace quillon {

// The texts of the overlay's three lines, a label and a number each. What a frame draws, what
// keeping the overlay on screen measures and what a recorded frame expects the host to have
// drawn are all written here and only here, from a frame as the recording's feed takes it or as
// its step holds it (so a value the texts read must be in both). The numbers live in buffers the
// owner keeps from frame to frame: a number is written again only when the value it shows
// changed, so a frame that shows what the last one showed formats and copies nothing.
class OverlayLines {
 public:
  static constexpr std::size_t kCount = 3;
  // Each short enough to be held in a string without the heap.
  static constexpr std::array<std::string_view, kCount> kLabels{"Resets: ", "Height: ", "Time: "};

  template <typename Frame>
  void Write(const Frame& frame) {
    const std::uint32_t height = std::bit_cast<std::uint32_t>(frame.height);
    // The time is shown as a float: a change that the narrowing loses changes nothing.
    const float interval = static_cast<float>(frame.interval);
    const std::uint32_t intervalBits = std::bit_cast<std::uint32_t>(interval);
    if (!written_ || frame.count != count_) {
      numbers_[0] = NumberText::Unsigned(frame.count);
      count_ = frame.count;
    }
    if (!written_ || height != heightBits_ || frame.decimals != decimals_) {
      numbers_[1] = NumberText::Fixed(frame.height, frame.decimals ? 2 : 0);
      heightBits_ = height;
      decimals_ = frame.decimals;
    }
    if (!written_ || intervalBits != intervalBits_) {
      numbers_[2] = NumberText::Fixed(interval, 2);
      intervalBits_ = intervalBits;
    }
    written_ = true;
  }

  // The number of line 0 to 2 as last written.
  std::string_view Number(std::size_t line) const { return numbers_[line].View(); }

 private:
  std::array<NumberText, kCount> numbers_;
  // The values the numbers were written from, as bits, so that -0 and each NaN count as values
  // of their own.
  bool written_ = false;
  std::uint32_t count_ = 0;
  std::uint32_t heightBits_ = 0;
  bool decimals_ = false;
  std::uint32_t intervalBits_ = 0;
};

}  // namespace quillon
