#include "FontMetrics.h"

#include <cfloat>

#include "imgui.h"

namespace host {

FontMetrics::FontMetrics() : atlas_(new ImFontAtlas()), font_(atlas_->AddFontDefault()) {
  atlas_->Build();
}

FontMetrics::~FontMetrics() {
  delete atlas_;
}

Vector2F FontMetrics::Measure(std::string_view text, float xScale, float yScale) const {
  const ImVec2 size =
      font_->CalcTextSizeA(font_->FontSize, FLT_MAX, 0.0f, text.data(), text.data() + text.size());
  return {size.x * xScale, size.y * yScale};
}

}  // namespace host
