#include "ResetMarks.h"

#include <charconv>

namespace host {
namespace {

constexpr std::string_view kResetsLabel = "Resets: ";

}  // namespace

void ResetMarks::Follow(std::string_view frameText, const std::optional<Vector>& ball) {
  if (!frameText.starts_with(kResetsLabel)) return;
  const std::string_view digits = frameText.substr(kResetsLabel.size());
  int count = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
  if (error != std::errc{} || end == digits.data()) return;
  if (count < shown_) marks_.clear();
  if (count != shown_ && count > 0 && ball) {
    if (marks_.size() == kKept) marks_.erase(marks_.begin());
    marks_.push_back({*ball, count});
  }
  shown_ = count;
}

PlayState FollowPlay(const pluginsdk::GameWorld& world, ImVec2 area, ResetMarks& marks,
                     const std::vector<CanvasCall>& calls) {
  PlayState play{area, std::nullopt, std::nullopt, {}};
  if (world.gameState && world.gameState->ball) play.ball = world.gameState->ball->location;
  if (world.localCar) play.car = world.localCar->location;
  marks.Follow(FrameText(calls), play.ball);
  play.marks = marks.Marks();
  return play;
}

}  // namespace host
