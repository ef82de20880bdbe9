#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quillon {
namespace {

// Beyond this the scaled value no longer fits the integer fast path (nor a signed 64-bit integer).
constexpr double kFastPathLimit = 9.0e18;

// "00" to "99": two digits a step, so a number takes half as many divisions.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Rounds a non-negative value below kFastPathLimit to the nearest integer, ties to even: what
// fixed formatting does with the exact value, whatever the floating-point rounding mode.
std::uint64_t RoundHalfEven(double value) {
  auto whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
  const double fraction = value - static_cast<double>(whole);
  if (fraction > 0.5 || (fraction == 0.5 && (whole & 1u) != 0)) ++whole;
  return whole;
}

// Writes the decimal digits of the value so that they end just before `end`; returns the first.
char* DigitsBefore(char* end, std::uint64_t value) {
  while (value >= 100) {
    const std::size_t pair = value % 100 * 2;
    value /= 100;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  }
  if (value >= 10) {
    *--end = kDigitPairs[value * 2 + 1];
    *--end = kDigitPairs[value * 2];
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

}  // namespace

NumberText NumberText::Unsigned(std::uint32_t value) {
  NumberText text;
  text.StartAt(DigitsBefore(text.End(), value));
  return text;
}

NumberText NumberText::Fixed(float value, int decimals) {
  NumberText text;
  // A float times 100 needs at most 31 significant bits, so the scaled double is exact and its
  // rounding is the rounding of the value itself.
  const double scale = decimals == 2 ? 100.0 : 1.0;
  const double scaled = std::fabs(static_cast<double>(value)) * scale;
  if (!(scaled < kFastPathLimit) || (decimals != 0 && decimals != 2)) {
    std::array<char, 48> written;
    const auto result =
        std::to_chars(written.data(), written.data() + written.size(), static_cast<double>(value),
                      std::chars_format::fixed, decimals);
    const auto length = static_cast<std::size_t>(result.ptr - written.data());
    text.StartAt(text.End() - length);
    std::memcpy(text.End() - length, written.data(), length);
    return text;
  }
  std::uint64_t rounded = RoundHalfEven(scaled);
  char* first = text.End();
  if (decimals == 2) {
    const std::size_t hundredths = rounded % 100 * 2;
    rounded /= 100;
    *--first = kDigitPairs[hundredths + 1];
    *--first = kDigitPairs[hundredths];
    *--first = '.';
  }
  first = DigitsBefore(first, rounded);
  // Fixed formatting keeps the sign of negative values that round to zero, and of -0.
  if (std::signbit(value)) *--first = '-';
  text.StartAt(first);
  return text;
}

}  // namespace quillon
