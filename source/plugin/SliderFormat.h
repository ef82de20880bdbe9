#pragma once
// How a number's slider on the settings page shows its value: an integer's as whole numbers, a
// float's with as many decimals as a step of a thousandth of its range needs, unless its row in
// the variable table fixes them.
#include <algorithm>
#include <array>

#include "VariableTable.h"

namespace quillon::cvar {

// Digits after the point that show a step of a thousandth of the range, at most six.
constexpr int DecimalsFor(Range range) {
  constexpr double kSteps = 1000.0;
  constexpr int kMostDecimals = 6;
  int decimals = 0;
  // Half a step below, so that a span a binary float cannot hold exactly (0.1) counts as itself.
  for (double span = static_cast<double>(range.max) - static_cast<double>(range.min);
       span < kSteps - 0.5 && decimals < kMostDecimals; span *= 10.0) {
    ++decimals;
  }
  return decimals;
}

// The format a float's slider writes its value with, such as "%.3f".
constexpr const char* FloatSliderFormat(const Variable& variable) {
  constexpr std::array<const char*, 7> kFormats{"%.0f", "%.1f", "%.2f", "%.3f",
                                                "%.4f", "%.5f", "%.6f"};
  const int decimals = variable.decimals.value_or(DecimalsFor(variable.range.value()));
  return kFormats[static_cast<std::size_t>(std::clamp(decimals, 0, 6))];
}

}  // namespace quillon::cvar
