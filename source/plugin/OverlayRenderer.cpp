// The overlay: three lines, each a label and a number, drawn every frame in free play and custom
// training.
#include <algorithm>
#include <cstdint>
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

// Where the host's frame line starts a new group among the six texts: wherever a text's row
// differs from the one before it (a row that is not a number differs even from itself).
std::uint8_t RowBreaks(float top0, float top1, float top2) {
  return static_cast<std::uint8_t>((top0 != top0 ? 1 : 0) | (top1 != top0 ? 2 : 0) |
                                   (top1 != top1 ? 4 : 0) | (top2 != top1 ? 8 : 0) |
                                   (top2 != top2 ? 16 : 0));
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

constexpr char kResetsLabel[] = "Resets: ";
constexpr char kHeightLabel[] = "Height: ";
constexpr char kTimeLabel[] = "Time: ";

// The label at (x, top), and the number where the label's measured width, trailing blank
// included, ends. Made for each label, so its texts are built from a constant of known length.
template <const char* kLabel>
void DrawLine(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top,
              const LinearColor& labelColor, std::string_view number,
              const LinearColor& numberColor) {
  constexpr std::string_view label = kLabel;
  canvas.SetPosition(Vector2F{x, top});
  ChooseTextColor(plugin, canvas, labelColor);
  canvas.DrawString(std::string(label), *plugin.textSize, *plugin.textSize, *plugin.dropShadows,
                    false);
  const float labelWidth =
      canvas.GetStringSize(std::string(label), *plugin.textSize, *plugin.textSize).X;
  canvas.SetPosition(Vector2F{x + labelWidth, top});
  ChooseTextColor(plugin, canvas, numberColor);
  canvas.DrawString(std::string(number), *plugin.textSize, *plugin.textSize, *plugin.dropShadows,
                    false);
}

// The far edges of one line as it will be drawn at (x, top): its label's measured width, then its
// number's; the taller of the two.
template <const char* kLabel>
void ExtendBlock(const QuillonPlugin& plugin, CanvasWrapper& canvas, float x, float top,
                 std::string_view number, Vector2F& farEdges) {
  const float size = *plugin.textSize;
  const Vector2F label = canvas.GetStringSize(std::string(std::string_view(kLabel)), size, size);
  const Vector2F digits = canvas.GetStringSize(std::string(number), size, size);
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

  // One copy per frame, so the three lines always belong together.
  const std::int32_t count = record.resetCount;
  const double interval = record.resetInterval;
  const float height = record.resetHeight;

  float x = static_cast<float>(*positionX);
  const float step = LineStep(*textSize);
  float top0 = static_cast<float>(*positionY);
  const NumberText countText = NumberText::Unsigned(static_cast<std::uint32_t>(count));
  const NumberText heightText = NumberText::Fixed(height, *heightDecimal ? 2 : 0);
  const NumberText intervalText = NumberText::Fixed(static_cast<float>(interval), 2);
  if (*keepOnScreen) {
    // The whole block moves, so its lines keep their spacing and each shadow its text.
    const Vector2 screen = canvas.GetSize();
    if (recording) recordingFeed.Screen(screen.X, screen.Y);
    Vector2F farEdges{x, top0};
    ExtendBlock<kResetsLabel>(*this, canvas, x, top0, countText.View(), farEdges);
    ExtendBlock<kHeightLabel>(*this, canvas, x, top0 + step, heightText.View(), farEdges);
    ExtendBlock<kTimeLabel>(*this, canvas, x, top0 + step + step, intervalText.View(), farEdges);
    x = KeptOnScreen(x, farEdges.X, screen.X);
    top0 = KeptOnScreen(top0, farEdges.Y, screen.Y);
  }
  const float top1 = top0 + step;
  const float top2 = top1 + step;
  if (recording) {
    recordingFeed.Frame({true, static_cast<std::uint32_t>(count), interval, height, *heightDecimal,
                         RowBreaks(top0, top1, top2)});
  }
  DrawLine<kResetsLabel>(*this, canvas, x, top0, *resetLabelColor, countText.View(),
                         *resetNumberColor);
  DrawLine<kHeightLabel>(*this, canvas, x, top1, *heightLabelColor, heightText.View(),
                         *heightNumberColor);
  DrawLine<kTimeLabel>(*this, canvas, x, top2, *timeLabelColor, intervalText.View(),
                       *timeNumberColor);
}

std::string QuillonPlugin::RecordedOverlayText(const quillon::recording::FrameStep& frame) {
  const NumberText count = NumberText::Unsigned(frame.count);
  const NumberText height = NumberText::Fixed(frame.height, frame.decimals ? 2 : 0);
  const NumberText interval = NumberText::Fixed(static_cast<float>(frame.interval), 2);
  const std::string_view texts[] = {kResetsLabel,  count.View(), kHeightLabel,
                                    height.View(), kTimeLabel,   interval.View()};
  std::string line(texts[0]);
  for (int i = 1; i < 6; ++i) {
    if ((frame.separators & (1u << (i - 1))) != 0) line += " | ";
    line += texts[i];
  }
  return line;
}
