#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillon {

// A number written for the overlay, held in place: formatting needs no heap and no locale, and the
// digits read as the classic locale writes them (point as separator, no grouping).
class NumberText {
 public:
  // Decimal digits of the value, no sign, no leading zeros.
  static NumberText Unsigned(std::uint32_t value);
  // As a stream writes the value with fixed notation and `decimals` digits after the point (no
  // point when 0): the float widened to double, rounded to nearest with ties to even, and
  // "inf", "-inf", "nan" or "-nan" for the values that have no digits. `decimals` is 0 to 2.
  static NumberText Fixed(float value, int decimals);

  std::string_view View() const { return {chars_.data() + first_, chars_.size() - first_}; }

 private:
  // Digits are written from the last one backwards, so a number costs no count of its digits
  // first; the text is the buffer's tail, from `first_`.
  char* End() { return chars_.data() + chars_.size(); }
  void StartAt(const char* first) { first_ = static_cast<std::size_t>(first - chars_.data()); }

  // FLT_MAX has 39 integer digits; with sign, point and two decimals that is 43.
  std::array<char, 48> chars_;
  std::size_t first_ = chars_.size();
};

}  // namespace quillon
