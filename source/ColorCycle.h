#pragma once
#include <cstdint>

namespace quillon {

// The colour cycling of the overlay: red, green and blue follow one sine wave each, shifted by 2
// and 4 radians, as a phase counter advances one step per cycled frame.

// Red, green and blue as the canvas takes them: signed bytes, whose bits 255 and -1 share.
struct CycleColor {
  char red;
  char green;
  char blue;
};

// Phase advance per frame at a speed setting (1 is the default speed).
float CycleStep(float speed);
// The colour at a phase counter, every operation in single precision.
CycleColor CycleColorAt(std::int32_t phase, float step);
// The counter after a cycled frame: one further, or back to 0 once a whole cycle has passed.
std::int32_t NextCyclePhase(std::int32_t phase, float step);

}  // namespace quillon
