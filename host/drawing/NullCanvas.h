#pragma once
#include <string_view>

#include "Canvas.h"

namespace host {

// A canvas that keeps nothing, for measuring what a drawable itself costs. Text is measured with
// the built-in font's fixed advance (7 by 13 pixels at scale 1), which costs next to nothing.
class NullCanvas final : public pluginsdk::Canvas {
 public:
  void SetColor(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
  void SetColor(LinearColor) override {}
  void SetPosition(Vector2F) override {}
  void DrawString(std::string_view, float, float, bool, bool) override {}
  Vector2F GetStringSize(std::string_view text, float xScale, float yScale) override {
    return {static_cast<float>(text.size()) * 7.0f * xScale, 13.0f * yScale};
  }
  Vector2 Size() override { return pluginsdk::kGameScreenSize; }
};

}  // namespace host
