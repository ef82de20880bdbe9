#pragma once
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "GameWorld.h"
#include "PlayView.h"
#include "RecordingCanvas.h"

namespace host {

// The resets of the chain going on, as the overlay counts them: the window knows of a reset
// only from the overlay's "Resets: N", so marks come while the overlay is on. Each is marked
// where the ball was in the first frame that showed its count, the overlay's height being the
// ball's.
class ResetMarks {
 public:
  // The latest marks kept, older ones go.
  static constexpr std::size_t kKept = 20;

  // One frame's text (FrameText) and where the ball is. A count that grew marks the new count;
  // one that fell (a new chain, a clear) drops the old marks first. A frame without a count
  // changes nothing.
  void Follow(std::string_view frameText, const std::optional<Vector>& ball);
  std::span<const ResetMark> Marks() const { return marks_; }

 private:
  int shown_ = 0;
  std::vector<ResetMark> marks_;
};

// The play as it stands, on a visible part of that size: the ball and the car where the world
// has them, and the marks, once they have followed this frame's canvas calls.
PlayState FollowPlay(const pluginsdk::GameWorld& world, ImVec2 area, ResetMarks& marks,
                     const std::vector<CanvasCall>& calls);

}  // namespace host
