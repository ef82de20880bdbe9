#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace quillon {
namespace {

// Beyond this the scaled value no longer fits the integer fast path.
constexpr double kFastPathLimit = 9.0e18;

// Rounds a non-negative value below 2^64 to the nearest integer, ties to even: what fixed
// formatting does with the exact value, whatever the floating-point rounding mode.
std::uint64_t RoundHalfEven(double value) {
  auto whole = static_cast<std::uint64_t>(value);
  const double fraction = value - static_cast<double>(whole);
  if (fraction > 0.5 || (fraction == 0.5 && (whole & 1u) != 0)) ++whole;
  return whole;
}

}  // namespace

NumberText NumberText::Unsigned(std::uint32_t value) {
  NumberText text;
  const auto result =
      std::to_chars(text.chars_.data(), text.chars_.data() + text.chars_.size(), value);
  text.size_ = static_cast<std::size_t>(result.ptr - text.chars_.data());
  return text;
}

NumberText NumberText::Fixed(float value, int decimals) {
  NumberText text;
  char* const begin = text.chars_.data();
  char* const end = begin + text.chars_.size();
  // A float times 100 needs at most 31 significant bits, so the scaled double is exact and its
  // rounding is the rounding of the value itself.
  const double scale = decimals == 2 ? 100.0 : 1.0;
  const double scaled = std::fabs(static_cast<double>(value)) * scale;
  if (!(scaled < kFastPathLimit) || (decimals != 0 && decimals != 2)) {
    const auto result =
        std::to_chars(begin, end, static_cast<double>(value), std::chars_format::fixed, decimals);
    text.size_ = static_cast<std::size_t>(result.ptr - begin);
    return text;
  }
  const std::uint64_t rounded = RoundHalfEven(scaled);
  char* out = begin;
  // Fixed formatting keeps the sign of negative values that round to zero, and of -0.
  if (std::signbit(value)) *out++ = '-';
  if (decimals == 0) {
    out = std::to_chars(out, end, rounded).ptr;
  } else {
    out = std::to_chars(out, end, rounded / 100).ptr;
    const auto hundredths = static_cast<char>(rounded % 100);
    *out++ = '.';
    *out++ = static_cast<char>('0' + hundredths / 10);
    *out++ = static_cast<char>('0' + hundredths % 10);
  }
  text.size_ = static_cast<std::size_t>(out - begin);
  return text;
}

}  // namespace quillon
