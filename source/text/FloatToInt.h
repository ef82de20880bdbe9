#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace quillon {

// Truncates toward zero as a cast to a 32-bit integer does, but gives a result for every float: NaN
// gives 0 and values beyond the integer range give its nearer end (a plain cast would be
// undefined).
inline std::int32_t TruncateToInt32(float value) {
  constexpr float kTwoToThe31 = 2147483648.0f;
  if (std::isnan(value)) return 0;
  if (value >= kTwoToThe31) return std::numeric_limits<std::int32_t>::max();
  if (value < -kTwoToThe31) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace quillon
