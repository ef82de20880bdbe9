// Draws a fixed number of overlay frames in one colour mode, for counting instructions with
// callgrind: scripts/bench.sh divides the count inside DrawOverlay by the number of frames.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "BenchPlugin.h"
#include "NullCanvas.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: frame_instructions one|pertext|cycling FRAMES\n");
    return 2;
  }
  bench::BenchPlugin b;
  const auto set = [&b](const char* name, const char* value) {
    b.host.FindVariable(name)->SetText(value);
  };
  set("quillon_samecolorenabled", std::strcmp(argv[1], "pertext") == 0 ? "0" : "1");
  set("quillon_rgb_enabled", std::strcmp(argv[1], "cycling") == 0 ? "1" : "0");
  set("quillon_heightdecimal", "1");
  b.plugin.record.resetCount = 7;
  b.plugin.record.resetHeight = 41.73f;
  b.plugin.record.resetInterval = 1.254;
  const auto canvas = std::make_shared<host::NullCanvas>();
  const long frames = std::atol(argv[2]);
  for (long frame = 0; frame < frames; ++frame) b.plugin.DrawOverlay(CanvasWrapper(canvas));
  return 0;
}
