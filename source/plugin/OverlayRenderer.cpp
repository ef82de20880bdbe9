// The overlay: three lines, each a label and a number, drawn every frame in free play and custom
// training.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "ColorCycle.h"
#include "FloatToInt.h"
#include "QuillonPlugin.h"

namespace {

using quillon::OverlayLines;

// Line spacing in pixels is text size × 0.5 × 30, cut to whole pixels.
constexpr float kLineSpacingHalf = 0.5f;
constexpr float kLineSpacingPixels = 30.0f;
constexpr char kOpaque = static_cast<char>(255);

// The cycle's colours as drawn so far; a pure cache of CycleColorAt, so one for the module serves
// any plugin object.
quillon::CycleColorMemo cycleColors;

using quillon::recording::GameMode;

// In a game of free play or custom training, with the plugin switched on.
bool IsOverlayShown(const QuillonPlugin& plugin, GameMode mode) {
  if (mode != GameMode::kFreeplay && mode != GameMode::kTraining) return false;
  return *plugin.enabled;
}

// Where the host's frame line starts a new group among the lines' texts: wherever a text's row
// differs from the one before it (a row that is not a number differs even from itself).
template <std::size_t kCount>
std::uint8_t RowBreaks(const std::array<float, kCount>& tops) {
  static_assert(2 * kCount - 1 <= 8, "one bit per text after the first");
  unsigned breaks = 0;
  for (std::size_t line = 0; line < kCount; ++line) {
    if (line > 0 && tops[line] != tops[line - 1]) breaks |= 1u << (2 * line - 1);
    if (tops[line] != tops[line]) breaks |= 1u << (2 * line);
  }
  return static_cast<std::uint8_t>(breaks);
}

// The colour every text has unless it gets its own: this frame's cycle colour, which moves the
// cycle on, or the one text colour.
void SetBaseColor(QuillonPlugin& plugin, CanvasWrapper& canvas) {
  if (!*plugin.rgbEnabled) {
    canvas.SetColor(*plugin.textColor);
    return;
  }
  const float step = quillon::CycleStep(*plugin.rgbSpeed);
  const quillon::CycleColor color = cycleColors.At(plugin.colorPhase, step);
  canvas.SetColor(color.red, color.green, color.blue, kOpaque);
  plugin.colorPhase = cycleColors.Next(plugin.colorPhase, step);
}

float LineStep(float textSize) {
  const float half = textSize * kLineSpacingHalf;
  return static_cast<float>(quillon::TruncateToInt32(half * kLineSpacingPixels));
}

// Only with cycling off and one colour per text does a text set its own colour.
void ChooseTextColor(const QuillonPlugin& plugin, CanvasWrapper& canvas, const LinearColor& own) {
  if (!*plugin.rgbEnabled && !*plugin.sameColorEnabled) canvas.SetColor(own);
}

// Each line's two colour variables: its label's, then its number's.
struct LineColors {
  std::shared_ptr<LinearColor> QuillonPlugin::*label;
  std::shared_ptr<LinearColor> QuillonPlugin::*number;
};
constexpr std::array<LineColors, OverlayLines::kCount> kLineColors{{
    {&QuillonPlugin::resetLabelColor, &QuillonPlugin::resetNumberColor},
    {&QuillonPlugin::heightLabelColor, &QuillonPlugin::heightNumberColor},
    {&QuillonPlugin::timeLabelColor, &QuillonPlugin::timeNumberColor},
}};

// Calls `each` with every line's index as a type's constant, in order, so a line's label is a
// constant where its text is built (the host takes each text as a string of its own).
template <typename Each>
void ForEachLine(Each&& each) {
  [&]<std::size_t... kLine>(std::index_sequence<kLine...>) {
    (each(std::integral_constant<std::size_t, kLine>{}), ...);
  }
  (std::make_index_sequence<OverlayLines::kCount>{});
}

// Line kLine: its label, then its number where the label's measured width, trailing blank
// included, ends.
template <std::size_t kLine>
void DrawLine(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top) {
  constexpr std::string_view label = OverlayLines::kLabels[kLine];
  canvas.SetPosition(Vector2F{x, top});
  ChooseTextColor(plugin, canvas, *(plugin.*kLineColors[kLine].label));
  canvas.DrawString(std::string(label), *plugin.textSize, *plugin.textSize, *plugin.dropShadows,
                    false);
  const float labelWidth =
      canvas.GetStringSize(std::string(label), *plugin.textSize, *plugin.textSize).X;
  canvas.SetPosition(Vector2F{x + labelWidth, top});
  ChooseTextColor(plugin, canvas, *(plugin.*kLineColors[kLine].number));
  canvas.DrawString(std::string(plugin.overlayLines.Number(kLine)), *plugin.textSize,
                    *plugin.textSize, *plugin.dropShadows, false);
}

// The far edges of line kLine as it will be drawn at (x, top): its label's measured width, then
// its number's; the taller of the two.
template <std::size_t kLine>
void ExtendBlock(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top,
                 Vector2F& farEdges) {
  const float size = *plugin.textSize;
  const Vector2F label =
      canvas.GetStringSize(std::string(OverlayLines::kLabels[kLine]), size, size);
  const Vector2F digits =
      canvas.GetStringSize(std::string(plugin.overlayLines.Number(kLine)), size, size);
  farEdges.X = std::max(farEdges.X, x + label.X + digits.X);
  farEdges.Y = std::max(farEdges.Y, top + std::max(label.Y, digits.Y));
}

// Where a block that starts at `start` and reaches `farEdge` starts on a screen side of
// `screenSide` pixels: moved back by its overflow, but never past 0.
float KeptOnScreen(float start, float farEdge, int screenSide) {
  const float overflow = farEdge - static_cast<float>(screenSide);
  if (!(overflow > 0.0f)) return start;
  return start - std::min(overflow, std::max(start, 0.0f));
}

}  // namespace

void QuillonPlugin::DrawOverlay(CanvasWrapper canvas) {
  const GameMode mode = ReadGameMode();
  const bool recording = RecordFrameStart(mode);
  if (!IsOverlayShown(*this, mode)) {
    if (recording) recordingFeed.Frame({});
    return;
  }
  SetBaseColor(*this, canvas);

  // One copy per frame, so the lines always belong together.
  quillon::recording::FrameView view{true,
                                     static_cast<std::uint32_t>(record.resetCount),
                                     record.resetInterval,
                                     record.resetHeight,
                                     *heightDecimal,
                                     quillon::recording::kAllOnOneRow};
  overlayLines.Write(view);

  float x = static_cast<float>(*positionX);
  const float step = LineStep(*textSize);
  std::array<float, OverlayLines::kCount> tops;
  const auto placeRows = [&](float first) {
    for (std::size_t line = 0; line < OverlayLines::kCount; ++line) {
      tops[line] = line == 0 ? first : tops[line - 1] + step;
    }
  };
  placeRows(static_cast<float>(*positionY));
  if (*keepOnScreen) {
    // The whole block moves, so its lines keep their spacing and each shadow its text.
    const Vector2 screen = canvas.GetSize();
    if (recording) recordingFeed.Screen(screen.X, screen.Y);
    Vector2F farEdges{x, tops[0]};
    ForEachLine([&](auto line) {
      ExtendBlock<decltype(line)::value>(*this, canvas, x, tops[line], farEdges);
    });
    x = KeptOnScreen(x, farEdges.X, screen.X);
    placeRows(KeptOnScreen(tops[0], farEdges.Y, screen.Y));
  }
  if (recording) {
    view.separators = RowBreaks(tops);
    recordingFeed.Frame(view);
  }
  ForEachLine([&](auto line) { DrawLine<decltype(line)::value>(*this, canvas, x, tops[line]); });
}

std::string QuillonPlugin::RecordedOverlayText(const quillon::recording::FrameStep& frame) {
  OverlayLines lines;
  lines.Write(frame);
  std::string text;
  for (std::size_t i = 0; i < 2 * OverlayLines::kCount; ++i) {
    if (i > 0 && (frame.separators & (1u << (i - 1))) != 0) text += " | ";
    text += i % 2 == 0 ? OverlayLines::kLabels[i / 2] : lines.Number(i / 2);
  }
  return text;
}
