#pragma once
#include <cstdint>

#include "PracticeStopwatch.h"

namespace quillon {

// What the overlay shows about the current chain of resets.
struct ResetRecord {
  std::int32_t resetCount = 0;  // resets in the current chain
  double resetInterval = 0.0;   // seconds from the previous reset to the latest, pauses left out
  float resetHeight = 0.0f;     // ball height at the latest reset, percent
  PracticeStopwatch intervalStopwatch;

  // Counts a reset with the ball at `height` percent; the first of a chain starts the timing
  // afresh, held until the pause menu closes when it is open.
  void RegisterReset(float height, bool pauseMenuOpen);
  // Zeroes the values and stops the timing: a new chain or round begins.
  void Clear();
};

}  // namespace quillon
