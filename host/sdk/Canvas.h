#pragma once
#include <cstdint>
#include <string_view>

#include "WrapperStructs.h"

namespace pluginsdk {

// The game's screen until a host says otherwise.
inline constexpr Vector2 kGameScreenSize{1920, 1080};

// What a frame is drawn on. The host picks the implementation: one that records calls, one that
// renders pictures, one that does nothing (for measuring the plugin alone).
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                        std::uint8_t alpha) = 0;
  virtual void SetColor(LinearColor color) = 0;
  virtual void SetPosition(Vector2F position) = 0;
  virtual void DrawString(std::string_view text, float xScale, float yScale, bool dropShadow,
                          bool wrapText) = 0;
  virtual Vector2F GetStringSize(std::string_view text, float xScale, float yScale) = 0;
  virtual Vector2 Size() = 0;
};

}  // namespace pluginsdk
