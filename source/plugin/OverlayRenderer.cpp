// The overlay: three lines, each a label and a number, drawn every frame in free play and custom
// training.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ColorCycle.h"
#include "FloatToInt.h"
#include "NumberFormat.h"
#include "QuillonPlugin.h"

namespace {

using quillon::NumberText;

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
  plugin.colorPhase = quillon::NextCyclePhase(plugin.colorPhase, step);
}

float LineStep(float textSize) {
  const float half = textSize * kLineSpacingHalf;
  return static_cast<float>(quillon::TruncateToInt32(half * kLineSpacingPixels));
}

// Only with cycling off and one colour per text does a text set its own colour.
void ChooseTextColor(const QuillonPlugin& plugin, CanvasWrapper& canvas, const LinearColor& own) {
  if (!*plugin.rgbEnabled && !*plugin.sameColorEnabled) canvas.SetColor(own);
}

// One line of the overlay: a label, then a number where the label's measured width, trailing
// blank included, ends.
struct OverlayLine {
  std::string_view label;
  NumberText number;
  std::shared_ptr<LinearColor> QuillonPlugin::*labelColor;
  std::shared_ptr<LinearColor> QuillonPlugin::*numberColor;
};
constexpr std::size_t kLineCount = 3;
using OverlayLines = std::array<OverlayLine, kLineCount>;

// The texts of the overlay's lines: what a frame draws, and what a recorded frame expects the
// host to have drawn, are both made here and only here, from a frame as the feed takes it or as
// the recording's step holds it (so a value the texts read must be in both). Each label is short
// enough to be held in a string without the heap.
template <typename Frame>
OverlayLines LinesOf(const Frame& frame) {
  return {{
      {"Resets: ", NumberText::Unsigned(frame.count), &QuillonPlugin::resetLabelColor,
       &QuillonPlugin::resetNumberColor},
      {"Height: ", NumberText::Fixed(frame.height, frame.decimals ? 2 : 0),
       &QuillonPlugin::heightLabelColor, &QuillonPlugin::heightNumberColor},
      {"Time: ", NumberText::Fixed(static_cast<float>(frame.interval), 2),
       &QuillonPlugin::timeLabelColor, &QuillonPlugin::timeNumberColor},
  }};
}

void DrawLine(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top,
              const OverlayLine& line) {
  canvas.SetPosition(Vector2F{x, top});
  ChooseTextColor(plugin, canvas, *(plugin.*line.labelColor));
  canvas.DrawString(std::string(line.label), *plugin.textSize, *plugin.textSize,
                    *plugin.dropShadows, false);
  const float labelWidth =
      canvas.GetStringSize(std::string(line.label), *plugin.textSize, *plugin.textSize).X;
  canvas.SetPosition(Vector2F{x + labelWidth, top});
  ChooseTextColor(plugin, canvas, *(plugin.*line.numberColor));
  canvas.DrawString(std::string(line.number.View()), *plugin.textSize, *plugin.textSize,
                    *plugin.dropShadows, false);
}

// The far edges of one line as it will be drawn at (x, top): its label's measured width, then its
// number's; the taller of the two.
void ExtendBlock(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top,
                 const OverlayLine& line, Vector2F& farEdges) {
  const float size = *plugin.textSize;
  const Vector2F label = canvas.GetStringSize(std::string(line.label), size, size);
  const Vector2F digits = canvas.GetStringSize(std::string(line.number.View()), size, size);
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
  const OverlayLines lines = LinesOf(view);

  float x = static_cast<float>(*positionX);
  const float step = LineStep(*textSize);
  std::array<float, kLineCount> tops;
  const auto placeRows = [&](float first) {
    for (std::size_t line = 0; line < kLineCount; ++line) {
      tops[line] = line == 0 ? first : tops[line - 1] + step;
    }
  };
  placeRows(static_cast<float>(*positionY));
  if (*keepOnScreen) {
    // The whole block moves, so its lines keep their spacing and each shadow its text.
    const Vector2 screen = canvas.GetSize();
    if (recording) recordingFeed.Screen(screen.X, screen.Y);
    Vector2F farEdges{x, tops[0]};
    for (std::size_t line = 0; line < kLineCount; ++line) {
      ExtendBlock(*this, canvas, x, tops[line], lines[line], farEdges);
    }
    x = KeptOnScreen(x, farEdges.X, screen.X);
    placeRows(KeptOnScreen(tops[0], farEdges.Y, screen.Y));
  }
  if (recording) {
    view.separators = RowBreaks(tops);
    recordingFeed.Frame(view);
  }
  for (std::size_t line = 0; line < kLineCount; ++line) {
    DrawLine(*this, canvas, x, tops[line], lines[line]);
  }
}

std::string QuillonPlugin::RecordedOverlayText(const quillon::recording::FrameStep& frame) {
  const OverlayLines lines = LinesOf(frame);
  std::string text;
  for (std::size_t i = 0; i < 2 * kLineCount; ++i) {
    if (i > 0 && (frame.separators & (1u << (i - 1))) != 0) text += " | ";
    const OverlayLine& line = lines[i / 2];
    text += i % 2 == 0 ? line.label : line.number.View();
  }
  return text;
}
