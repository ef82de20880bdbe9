#pragma once
#include <cstdint>
#include <vector>

namespace quillon {

// Times the interval between resets, standing still while the game is paused. `stamps` holds the
// current timing's starts and stops in turn; entries 0 and 1, 2 and 3, ... are running segments.
struct PracticeStopwatch {
  std::int64_t startStamp = 0;
  std::int64_t stopStamp = 0;
  std::vector<std::int64_t> stamps;
  bool running = false;
  // Set only by StopForPause, so leaving the pause menu restarts nothing else.
  bool stoppedForPause = false;

  PracticeStopwatch() = default;
  PracticeStopwatch(const PracticeStopwatch&) = delete;
  PracticeStopwatch& operator=(const PracticeStopwatch&) = delete;
  ~PracticeStopwatch();

  // Starts timing now; a running stopwatch is left alone.
  void Start();
  // Stops timing now; an idle stopwatch is left alone, so no stop can open a false segment.
  void Stop();
  // Stops and forgets the current timing; the list keeps its storage.
  void StopAndClear();
  // The pause menu's stop and restart: only a stopwatch the menu stopped is started again.
  void StopForPause();
  void ResumeAfterPause();
  // Running time in whole milliseconds, each segment truncated on its own.
  double ElapsedMilliseconds() const;
};

}  // namespace quillon
