// Draws a fixed number of overlay frames in one colour mode, for counting instructions with
// callgrind: scripts/bench.sh and scripts/check-budgets.sh divide the count inside DrawOverlay
// (or, with "floor", inside the benchmarks' floor frame) by the number of frames. With
// "recorded" the game event is recorded; with "changing" every frame shows new numbers on all
// three lines, as no two frames of play do.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "BenchPlugin.h"
#include "FloorFrame.h"
#include "NullCanvas.h"

int main(int argc, char** argv) {
  const char* variant = argc == 4 ? argv[3] : "";
  const bool floor = std::strcmp(variant, "floor") == 0;
  const bool recorded = std::strcmp(variant, "recorded") == 0;
  const bool changing = std::strcmp(variant, "changing") == 0;
  if (argc < 3 || argc > 4 || (argc == 4 && !floor && !recorded && !changing)) {
    std::fprintf(
        stderr, "usage: frame_instructions one|pertext|cycling FRAMES [floor|recorded|changing]\n");
    return 2;
  }
  bench::BenchPlugin b(recorded);
  const auto set = [&b](const char* name, const char* value) {
    b.host.FindVariable(name)->SetText(value);
  };
  const bool perText = std::strcmp(argv[1], "pertext") == 0;
  const bool cycling = std::strcmp(argv[1], "cycling") == 0;
  set("quillon_samecolorenabled", perText ? "0" : "1");
  set("quillon_rgb_enabled", cycling ? "1" : "0");
  set("quillon_heightdecimal", "1");
  b.plugin.record.resetCount = 7;
  b.plugin.record.resetHeight = 41.73f;
  b.plugin.record.resetInterval = 1.254;
  const auto canvas = std::make_shared<host::NullCanvas>();
  const long frames = std::atol(argv[2]);
  if (floor) {
    const bench::ColorMode mode = cycling   ? bench::ColorMode::Cycling
                                  : perText ? bench::ColorMode::PerTextColors
                                            : bench::ColorMode::OneColor;
    const bench::PrebuiltFrame frame;
    // Called through a pointer the compiler cannot see through, so the floor stays a function of
    // its own for callgrind, compiled as the benchmark compiles it.
    void (*volatile drawFloor)(CanvasWrapper, const bench::PrebuiltFrame&, bench::ColorMode) =
        &bench::DrawFloor;
    for (long i = 0; i < frames; ++i) drawFloor(CanvasWrapper(canvas), frame, mode);
    return 0;
  }
  for (long frame = 0; frame < frames; ++frame) {
    if (changing) {
      // Numbers of the usual lengths: one or two digits, then four and three characters.
      b.plugin.record.resetCount = static_cast<std::int32_t>(frame % 100);
      b.plugin.record.resetHeight = 10.0f + static_cast<float>(frame % 8000) * 0.01f;
      b.plugin.record.resetInterval = 0.5 + static_cast<double>(frame % 900) * 0.01;
    }
    b.plugin.DrawOverlay(CanvasWrapper(canvas));
  }
  return 0;
}
