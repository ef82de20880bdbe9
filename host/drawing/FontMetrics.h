#pragma once
#include <string_view>

#include "WrapperStructs.h"

struct ImFont;
struct ImFontAtlas;

namespace host {

// The canvas font: Dear ImGui's built-in font, scaled by the text scale. Measuring and drawing
// both use it, so a text measured here is exactly as wide as it is drawn.
class FontMetrics {
 public:
  FontMetrics();
  ~FontMetrics();
  FontMetrics(const FontMetrics&) = delete;
  FontMetrics& operator=(const FontMetrics&) = delete;

  // Width and height of the text at the given scales.
  Vector2F Measure(std::string_view text, float xScale, float yScale) const;
  ImFontAtlas& Atlas() const { return *atlas_; }
  ImFont& Font() const { return *font_; }

 private:
  ImFontAtlas* atlas_;
  ImFont* font_;
};

}  // namespace host
