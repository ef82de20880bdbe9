#pragma once
#include <optional>
#include <span>

#include "WrapperStructs.h"
#include "imgui.h"

namespace host {

// A reset the overlay counted: where the ball was when its count first showed, and the count.
struct ResetMark {
  Vector ball;
  int count;
};

// The play as the live window shows it, on the game's visible part of the window.
struct PlayState {
  ImVec2 area;  // the visible part's size, from the window's top left corner
  std::optional<Vector> ball;
  std::optional<Vector> car;
  std::span<const ResetMark> marks;
};

// A side view of the arena: floor to ceiling across the area's height above a strip of pitch,
// the field's length (the world's Y) across its width at the same scale, centred between the
// ball and the car. What lies beyond the area's sides is drawn at its edge.
class SideView {
 public:
  // World height of the ceiling: the ball's span runs from its radius above the floor to its
  // radius below it.
  static constexpr float kCeiling = 2048.0f;

  explicit SideView(const PlayState& play);

  ImVec2 At(const Vector& world) const;
  float Scale() const { return scale_; }
  float FloorY() const { return floorY_; }
  float CeilingY() const { return floorY_ - kCeiling * scale_; }

 private:
  ImVec2 area_;
  float floorY_;
  float scale_;    // pixels per world unit
  float centreY_;  // the world's Y at the area's middle
};

// Draws the side view with the car, the ball and the marks of the resets over the whole area.
// The list's texture must be the font's atlas.
void AddPlayView(ImDrawList& list, const ImFont& font, const PlayState& play);

}  // namespace host
