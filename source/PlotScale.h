#pragma once
#include <algorithm>
#include <cmath>

namespace quillon {

// The top of a plot's scale: its largest value with four fifths as much room above it, so bars
// and lines keep to the lower part and the title along the plot's top edge stays readable.
// 1 when there is nothing to show.
inline float PlotScaleTop(const float* values, int count) {
  float largest = 0.0f;
  for (int i = 0; i < count; ++i) {
    if (std::isfinite(values[i])) largest = std::max(largest, values[i]);
  }
  return largest > 0.0f ? largest * 1.8f : 1.0f;
}

}  // namespace quillon
