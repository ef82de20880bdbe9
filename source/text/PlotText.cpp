#include "PlotText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "imgui.h"

namespace quillon {

void LogPlotValues(std::string_view kind, const float* values, int count) {
  ImGui::LogText("\n[%.*s:", static_cast<int>(kind.size()), kind.data());
  if (count <= 0) ImGui::LogText(" -");
  for (int i = 0; i < count; ++i) {
    // The shortest text that reads back as the value, with no locale in the way.
    std::array<char, 32> digits;
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), values[i]).ptr;
    ImGui::LogText(" %.*s", static_cast<int>(end - digits.data()), digits.data());
  }
  ImGui::LogText("]");
}

float PlotScaleTop(const float* values, int count) {
  float largest = 0.0f;
  for (int i = 0; i < count; ++i) {
    if (std::isfinite(values[i])) largest = std::max(largest, values[i]);
  }
  return largest > 0.0f ? largest * 1.8f : 1.0f;
}

}  // namespace quillon
