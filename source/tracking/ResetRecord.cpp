#include "ResetRecord.h"

namespace quillon {

void ResetRecord::RegisterReset(float height, bool pauseMenuOpen) {
  if (!intervalStopwatch.running) {
    // A stopwatch the pause menu stopped still holds the last chain's time: none of it belongs
    // to this one.
    intervalStopwatch.StopAndClear();
    intervalStopwatch.Start();
    if (pauseMenuOpen) intervalStopwatch.StopForPause();
    resetInterval = 0.0;
    resetCount = 1;
  } else {
    resetInterval = intervalStopwatch.ElapsedMilliseconds() / 1000.0;
    intervalStopwatch.StopAndClear();
    intervalStopwatch.Start();
    // Wraps instead of overflowing; the overlay shows the count as unsigned anyway.
    resetCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(resetCount) + 1u);
  }
  resetHeight = height;
}

void ResetRecord::Clear() {
  resetCount = 0;
  resetInterval = 0.0;
  resetHeight = 0.0f;
  intervalStopwatch.StopAndClear();
}

}  // namespace quillon
