#pragma once
// A reference model of what a player sees of the reset tracker: written from the tracker's rules
// (its state table and handler rules) and the overlay's frame format, not from the plugin's code.
// It also models the stand-in host around the plugin: the virtual clock, the practice check's
// timeout, the console's clamping of typed values and how a frame's texts are joined.
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <optional>
#include <string>

#include "SessionSteps.h"

namespace model {

// Deliberately wrong rules, to prove that the model test notices a difference and reports it
// well. Only the faithful model is the reference.
enum class Variant {
  kFaithful,
  kCarAt25Counts,  // a landing with the car at exactly 25 units counts as a reset
  kPauseCounted,   // time in the pause menu stays in the interval
};

// How often a session reached the states worth testing, so a test can insist the random steps
// get there.
struct Coverage {
  long framesDrawn = 0;
  long practiceChecksPassed = 0;
  long practiceEndedWhileTiming = 0;  // checks that ended practice with the stopwatch running
  long resetsCounted = 0;
  long intervalsMeasured = 0;     // resets after the first of their chain
  long intervalsAcrossPause = 0;  // of those, intervals with a pause left out
  long chainsStarted = 0;
  long roundsStarted = 0;
  long explosions = 0;
  long chainsBegunInPauseMenu = 0;  // first resets counted with the pause menu open
  long landingsAtExactly25 = 0;     // landings that would have counted but for the car at 25.0
  long heightsWithDecimals = 0;     // frames drawn with two decimals on the height
  long linesRunTogether = 0;        // frames drawn with a text size so small the lines share a row

  Coverage& operator+=(const Coverage& more);
};

std::ostream& operator<<(std::ostream& out, const Coverage& seen);

class TrackerModel {
 public:
  explicit TrackerModel(Variant variant = Variant::kFaithful);

  void Apply(const Step& step);
  // The text the host prints for a frame drawn now; empty when nothing is drawn. Counts the
  // frame in the coverage.
  std::string Frame();
  const Coverage& Seen() const { return seen_; }

 private:
  // The interval's stopwatch as a player experiences it: whole milliseconds of closed running
  // segments plus the open one, each cut on its own.
  struct PausableTimer {
    bool running = false;
    bool haltedByPause = false;  // the pause menu stopped it; leaving the menu restarts it
    std::int64_t openedAtNs = 0;
    std::int64_t closedMs = 0;
    int closedSegments = 0;
  };

  void AdvanceBy(std::int64_t ticks);
  void Fire(GameFunction function);
  void Landing();
  void CountReset(float heightPercent);
  void ZeroRecord();
  void Set(Setting setting, double typed);

  std::int64_t NowNs() const;
  void StartTimer();
  void PauseTimer();
  void ResumeTimer();
  void ClearTimer();
  std::int64_t ElapsedMs() const;

  Variant variant_;
  Coverage seen_;

  // The host: clock, world, scheduled practice checks (due ticks, in order).
  std::int64_t now_ = 0;
  pluginsdk::GameMode mode_ = pluginsdk::GameMode::Menu;
  bool gameStatePresent_ = true;
  std::optional<float> ballZ_ = 93.15f;
  std::optional<float> carZ_ = 17.0f;
  std::deque<std::int64_t> checksDue_;

  // The bound values, as the console leaves them after load.
  bool enabled_ = false;
  bool heightDecimal_ = false;
  float textSize_ = 2.0f;
  int positionY_ = 0;

  // The tracker.
  bool drawableRegistered_ = false;
  bool awaitingDodge_ = false;
  bool ballExploded_ = false;
  bool chainEnded_ = false;
  bool practising_ = false;
  bool menuOpen_ = false;
  std::uint32_t count_ = 0;
  double intervalSeconds_ = 0.0;
  float heightPercent_ = 0.0f;
  PausableTimer timer_;
};

}  // namespace model
