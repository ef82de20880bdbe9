#pragma once
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "CanvasWrapper.h"

namespace bench {

enum class ColorMode { OneColor, PerTextColors, Cycling };

// The floor of a frame: the very same canvas calls as DrawOverlay, with texts, positions and
// colours made in advance. Inline, so the benchmark measures the calls alone.
struct PrebuiltFrame {
  std::array<std::string, 6> texts{"Resets: ", "7", "Height: ", "41.73", "Time: ", "1.25"};
  std::array<Vector2F, 6> positions;
  std::array<LinearColor, 6> colors;
  LinearColor base{255.0f, 255.0f, 0.0f, 255.0f};
  float scale = 2.0f;
  bool shadows = true;
};

inline void DrawFloor(CanvasWrapper canvas, const PrebuiltFrame& frame, ColorMode mode) {
  if (mode == ColorMode::Cycling) {
    canvas.SetColor(static_cast<char>(127), static_cast<char>(243), static_cast<char>(30),
                    static_cast<char>(255));
  } else {
    canvas.SetColor(frame.base);
  }
  for (std::size_t text = 0; text < frame.texts.size(); ++text) {
    if (text % 2 == 1) {
      benchmark::DoNotOptimize(
          canvas.GetStringSize(frame.texts[text - 1], frame.scale, frame.scale));
    }
    canvas.SetPosition(frame.positions[text]);
    if (mode == ColorMode::PerTextColors) canvas.SetColor(frame.colors[text]);
    canvas.DrawString(frame.texts[text], frame.scale, frame.scale, frame.shadows, false);
  }
}

}  // namespace bench
