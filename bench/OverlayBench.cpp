// What a frame of the overlay costs, next to the floor (the same canvas calls with everything
// computed in advance) and the common way of writing it.
#include <benchmark/benchmark.h>

#include <array>
#include <climits>
#include <memory>
#include <string>

#include "BenchPlugin.h"
#include "NullCanvas.h"
#include "PeerOverlay.h"

namespace {

enum class ColorMode { OneColor, PerTextColors, Cycling };

// A chain in progress, with realistic numbers on all three lines.
void Prepare(bench::BenchPlugin& b, ColorMode mode) {
  const auto set = [&b](const char* name, const char* value) {
    b.host.FindVariable(name)->SetText(value);
  };
  set("quillon_samecolorenabled", mode == ColorMode::OneColor ? "1" : "0");
  set("quillon_rgb_enabled", mode == ColorMode::Cycling ? "1" : "0");
  set("quillon_heightdecimal", "1");
  b.plugin.record.resetCount = 7;
  b.plugin.record.resetHeight = 41.73f;
  b.plugin.record.resetInterval = 1.254;
}

std::shared_ptr<pluginsdk::Canvas> Canvas() {
  return std::make_shared<host::NullCanvas>();
}

void BM_Frame_DrawOverlay(benchmark::State& state, ColorMode mode) {
  bench::BenchPlugin b;
  Prepare(b, mode);
  const auto canvas = Canvas();
  for (auto _ : state) b.plugin.DrawOverlay(CanvasWrapper(canvas));
}
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, OneColor, ColorMode::OneColor);
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, PerTextColors, ColorMode::PerTextColors);
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, Cycling, ColorMode::Cycling);

void BM_Frame_Peer(benchmark::State& state, ColorMode mode) {
  bench::BenchPlugin b;
  Prepare(b, mode);
  const auto canvas = Canvas();
  for (auto _ : state) bench::PeerDrawOverlay(b.plugin, CanvasWrapper(canvas));
}
BENCHMARK_CAPTURE(BM_Frame_Peer, OneColor, ColorMode::OneColor);
BENCHMARK_CAPTURE(BM_Frame_Peer, PerTextColors, ColorMode::PerTextColors);
BENCHMARK_CAPTURE(BM_Frame_Peer, Cycling, ColorMode::Cycling);

// The floor: the very same canvas calls, with texts, positions and colours made in advance.
struct PrebuiltFrame {
  std::array<std::string, 6> texts{"Resets: ", "7", "Height: ", "41.73", "Time: ", "1.25"};
  std::array<Vector2F, 6> positions;
  std::array<LinearColor, 6> colors;
  LinearColor base{255.0f, 255.0f, 0.0f, 255.0f};
  float scale = 2.0f;
  bool shadows = true;
};

void DrawFloor(CanvasWrapper canvas, const PrebuiltFrame& frame, ColorMode mode) {
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

void BM_Frame_Floor(benchmark::State& state, ColorMode mode) {
  bench::BenchPlugin b;  // the same host state around it, for a fair comparison
  const PrebuiltFrame frame;
  const auto canvas = Canvas();
  for (auto _ : state) DrawFloor(CanvasWrapper(canvas), frame, mode);
}
BENCHMARK_CAPTURE(BM_Frame_Floor, OneColor, ColorMode::OneColor);
BENCHMARK_CAPTURE(BM_Frame_Floor, PerTextColors, ColorMode::PerTextColors);
BENCHMARK_CAPTURE(BM_Frame_Floor, Cycling, ColorMode::Cycling);

// The frame costs the same whatever the numbers are.
void BM_Frame_ByCount(benchmark::State& state) {
  bench::BenchPlugin b;
  Prepare(b, ColorMode::OneColor);
  b.plugin.record.resetCount = static_cast<std::int32_t>(state.range(0));
  const auto canvas = Canvas();
  for (auto _ : state) b.plugin.DrawOverlay(CanvasWrapper(canvas));
}
BENCHMARK(BM_Frame_ByCount)->Arg(0)->Arg(9)->Arg(12345)->Arg(INT_MAX)->Arg(-1);

}  // namespace
