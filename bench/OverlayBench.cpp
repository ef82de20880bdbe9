// What a frame of the overlay costs, next to the floor (the same canvas calls with everything
// computed in advance) and the common way of writing it.
#include <benchmark/benchmark.h>

#include <climits>
#include <memory>
#include <string>

#include "BenchPlugin.h"
#include "FloorFrame.h"
#include "NullCanvas.h"
#include "PeerOverlay.h"

namespace {

using bench::ColorMode;

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

// With `recorded`, the game event is being recorded: each frame also looks for a change to hand
// over (the text stays, as it does between resets).
void BM_Frame_DrawOverlay(benchmark::State& state, ColorMode mode, bool recorded) {
  bench::BenchPlugin b(recorded);
  Prepare(b, mode);
  const auto canvas = Canvas();
  for (auto _ : state) b.plugin.DrawOverlay(CanvasWrapper(canvas));
}
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, OneColor, ColorMode::OneColor, false);
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, PerTextColors, ColorMode::PerTextColors, false);
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, Cycling, ColorMode::Cycling, false);
BENCHMARK_CAPTURE(BM_Frame_DrawOverlay, OneColorRecorded, ColorMode::OneColor, true);

void BM_Frame_Peer(benchmark::State& state, ColorMode mode) {
  bench::BenchPlugin b;
  Prepare(b, mode);
  const auto canvas = Canvas();
  for (auto _ : state) bench::PeerDrawOverlay(b.plugin, CanvasWrapper(canvas));
}
BENCHMARK_CAPTURE(BM_Frame_Peer, OneColor, ColorMode::OneColor);
BENCHMARK_CAPTURE(BM_Frame_Peer, PerTextColors, ColorMode::PerTextColors);
BENCHMARK_CAPTURE(BM_Frame_Peer, Cycling, ColorMode::Cycling);

void BM_Frame_Floor(benchmark::State& state, ColorMode mode) {
  bench::BenchPlugin b;  // the same host state around it, for a fair comparison
  const bench::PrebuiltFrame frame;
  const auto canvas = Canvas();
  for (auto _ : state) bench::DrawFloor(CanvasWrapper(canvas), frame, mode);
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
