#include "PlayView.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "GameControls.h"
#include "ScaledText.h"

namespace host {
namespace {

constexpr float kCeilingMargin = 14.0f;  // pixels above the ceiling
constexpr float kPitchStrip = 28.0f;     // pixels of pitch below the floor
constexpr float kBallRadius = 93.15f;
constexpr float kCarHalfLength = 59.0f;
constexpr float kCarHalfHeight = 18.0f;
constexpr float kMarkSize = 6.0f;
constexpr float kGuidePercents[] = {25.0f, 50.0f, 75.0f};

constexpr ImU32 kAirTop = IM_COL32(18, 24, 38, 255);
constexpr ImU32 kAirLow = IM_COL32(38, 48, 66, 255);
constexpr ImU32 kCeilingColour = IM_COL32(60, 70, 92, 255);
constexpr ImU32 kPitch = IM_COL32(30, 66, 48, 255);
constexpr ImU32 kFloorLine = IM_COL32(126, 178, 138, 255);
constexpr ImU32 kGuide = IM_COL32(255, 255, 255, 26);
constexpr ImU32 kGuideText = IM_COL32(150, 160, 182, 255);
constexpr ImU32 kShadow = IM_COL32(0, 0, 0, 110);
constexpr ImU32 kDrop = IM_COL32(255, 170, 90, 110);
constexpr ImU32 kBall = IM_COL32(226, 229, 236, 255);
constexpr ImU32 kBallEdge = IM_COL32(128, 138, 156, 255);
constexpr ImU32 kCarBody = IM_COL32(255, 138, 36, 255);
constexpr ImU32 kCarCabin = IM_COL32(255, 196, 128, 255);
constexpr ImU32 kWheel = IM_COL32(26, 26, 32, 255);
constexpr ImU32 kMark = IM_COL32(255, 206, 64, 255);
constexpr ImU32 kMarkShadow = IM_COL32(0, 0, 0, 255);

bool InAir(const Vector& car) {
  return car.Z > kCarHalfHeight + 1.0f;
}

// An ellipse's worth of shadow on the floor under something that wide.
void AddShadow(ImDrawList& list, float x, float halfWidth, float floorY) {
  list.AddRectFilled({x - halfWidth, floorY - 2.0f}, {x + halfWidth, floorY + 3.0f}, kShadow, 2.5f);
}

void AddGuides(ImDrawList& list, const ImFont& font, const SideView& view, float width) {
  for (const float percent : kGuidePercents) {
    const auto z =
        static_cast<float>(GameControls::kBallFloor + percent / 100.0 * GameControls::kBallSpan);
    const float y = view.At({0.0f, 0.0f, z}).y;
    list.AddLine({0.0f, y}, {width, y}, kGuide);
    std::array<char, 8> text{};
    char* end =
        std::to_chars(text.data(), text.data() + text.size(), static_cast<int>(percent)).ptr;
    *end++ = '%';
    AddScaledText(list, font, {6.0f, y - font.FontSize - 1.0f}, {1.0f, 1.0f}, kGuideText,
                  {text.data(), static_cast<std::size_t>(end - text.data())});
  }
}

// The car side on, nose to the right: body, cabin and two wheels, and, off the floor, a line
// down to its shadow.
void AddCar(ImDrawList& list, const SideView& view, const Vector& car) {
  const ImVec2 at = view.At(car);
  const float s = view.Scale();
  const float length = kCarHalfLength * s, height = kCarHalfHeight * s;
  if (InAir(car)) {
    for (float y = at.y + height * 2.0f; y < view.FloorY() - 4.0f; y += 8.0f) {
      list.AddLine({at.x, y}, {at.x, std::min(y + 4.0f, view.FloorY() - 4.0f)}, kDrop);
    }
  }
  list.AddRectFilled({at.x - length * 0.5f, at.y - height}, {at.x + length * 0.25f, at.y},
                     kCarCabin, 2.0f);
  list.AddRectFilled({at.x - length, at.y - height * 0.1f}, {at.x + length, at.y + height * 0.7f},
                     kCarBody, 2.0f);
  const float wheel = std::max(2.0f, height * 0.5f);
  for (const float side : {-0.6f, 0.6f}) {
    list.AddCircleFilled({at.x + side * length, at.y + height * 0.7f}, wheel, kWheel);
  }
}

void AddBall(ImDrawList& list, const SideView& view, const Vector& ball) {
  const ImVec2 at = view.At(ball);
  const float radius = kBallRadius * view.Scale();
  list.AddCircleFilled(at, radius, kBall, 40);
  list.AddCircle(at, radius, kBallEdge, 40, 2.0f);
}

// A diamond where the ball was, with the count beside it.
void AddMark(ImDrawList& list, const ImFont& font, const SideView& view, const ResetMark& mark) {
  const ImVec2 at = view.At(mark.ball);
  list.AddQuadFilled({at.x, at.y - kMarkSize}, {at.x + kMarkSize, at.y}, {at.x, at.y + kMarkSize},
                     {at.x - kMarkSize, at.y}, kMark);
  std::array<char, 12> text{};
  const char* const end = std::to_chars(text.data(), text.data() + text.size(), mark.count).ptr;
  const std::string_view count(text.data(), static_cast<std::size_t>(end - text.data()));
  // With a shadow, so that it reads over the light ball, where it often is.
  const ImVec2 place(at.x + kMarkSize + 3.0f, at.y - font.FontSize / 2.0f);
  AddScaledText(list, font, {place.x + 1.0f, place.y + 1.0f}, {1.0f, 1.0f}, kMarkShadow, count);
  AddScaledText(list, font, place, {1.0f, 1.0f}, kMark, count);
}

}  // namespace

SideView::SideView(const PlayState& play)
    : area_(play.area),
      floorY_(play.area.y - kPitchStrip),
      scale_(std::max(0.0f, floorY_ - kCeilingMargin) / kCeiling),
      centreY_(0.0f) {
  if (play.ball && play.car) {
    centreY_ = (play.ball->Y + play.car->Y) / 2.0f;
  } else if (play.ball || play.car) {
    centreY_ = play.ball ? play.ball->Y : play.car->Y;
  }
}

ImVec2 SideView::At(const Vector& world) const {
  const float edge = std::min(kBallRadius * scale_, area_.x / 2.0f);
  const float x = area_.x / 2.0f + (world.Y - centreY_) * scale_;
  return {std::clamp(x, edge, area_.x - edge), floorY_ - world.Z * scale_};
}

void AddPlayView(ImDrawList& list, const ImFont& font, const PlayState& play) {
  const SideView view(play);
  // Smooth edges for the round ball and the wheels; lines as plain triangles, with no texture.
  const ImDrawListFlags flags = list.Flags;
  list.Flags = (flags | ImDrawListFlags_AntiAliasedFill | ImDrawListFlags_AntiAliasedLines) &
               ~ImDrawListFlags_AntiAliasedLinesUseTex;
  const float width = play.area.x;
  list.AddRectFilledMultiColor({0.0f, 0.0f}, {width, view.FloorY()}, kAirTop, kAirTop, kAirLow,
                               kAirLow);
  list.AddRectFilled({0.0f, 0.0f}, {width, view.CeilingY()}, kCeilingColour);
  list.AddRectFilled({0.0f, view.FloorY()}, play.area, kPitch);
  list.AddLine({0.0f, view.FloorY()}, {width, view.FloorY()}, kFloorLine, 2.0f);
  AddGuides(list, font, view, width);
  // Shadows first, so neither hides the car or the ball.
  if (play.car && InAir(*play.car)) {
    AddShadow(list, view.At(*play.car).x, kCarHalfLength * view.Scale(), view.FloorY());
  }
  if (play.ball) AddShadow(list, view.At(*play.ball).x, kBallRadius * view.Scale(), view.FloorY());
  if (play.car) AddCar(list, view, *play.car);
  if (play.ball) AddBall(list, view, *play.ball);
  for (const ResetMark& mark : play.marks) AddMark(list, font, view, mark);
  list.Flags = flags;
}

}  // namespace host
