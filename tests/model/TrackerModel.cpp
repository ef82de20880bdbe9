#include "TrackerModel.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <locale>
#include <ostream>
#include <sstream>

#include "Overloaded.h"

namespace model {
namespace {

using pluginsdk::GameMode;

// The practice check runs 3.0 s (a float) after the game event starts; the host counts 100 ns
// ticks.
constexpr std::int64_t kCheckDelayTicks = 30'000'000;
constexpr std::int64_t kNsPerTick = 100;
constexpr std::int64_t kNsPerMs = 1'000'000;

// Ball centre from resting height (0 %) up to the ceiling (100 %).
float HeightPercent(float ballZ) {
  return static_cast<float>((static_cast<double>(ballZ) - 93.15) / 1861.7 * 100.0);
}

std::ostringstream ClassicStream() {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  return out;
}

std::string Fixed(double value, int decimals) {
  auto out = ClassicStream();
  out << std::fixed << std::setprecision(decimals) << value;
  return out.str();
}

std::string Unsigned(std::uint32_t value) {
  auto out = ClassicStream();
  out << value;
  return out.str();
}

// What the console stores for a typed number: clamped to the variable's bounds.
double Clamped(double typed, double low, double high) {
  return std::clamp(typed, low, high);
}

}  // namespace

Coverage& Coverage::operator+=(const Coverage& more) {
  framesDrawn += more.framesDrawn;
  practiceChecksPassed += more.practiceChecksPassed;
  practiceEndedWhileTiming += more.practiceEndedWhileTiming;
  resetsCounted += more.resetsCounted;
  intervalsMeasured += more.intervalsMeasured;
  intervalsAcrossPause += more.intervalsAcrossPause;
  chainsStarted += more.chainsStarted;
  roundsStarted += more.roundsStarted;
  explosions += more.explosions;
  chainsBegunInPauseMenu += more.chainsBegunInPauseMenu;
  landingsAtExactly25 += more.landingsAtExactly25;
  heightsWithDecimals += more.heightsWithDecimals;
  linesRunTogether += more.linesRunTogether;
  return *this;
}

std::ostream& operator<<(std::ostream& out, const Coverage& seen) {
  return out << "frames drawn " << seen.framesDrawn << ", practice checks passed "
             << seen.practiceChecksPassed << " (" << seen.practiceEndedWhileTiming
             << " ending practice mid-interval), resets " << seen.resetsCounted << ", intervals "
             << seen.intervalsMeasured << " (" << seen.intervalsAcrossPause
             << " across a pause), chains " << seen.chainsStarted << ", rounds "
             << seen.roundsStarted << ", explosions " << seen.explosions
             << ", chains begun in the pause menu: " << seen.chainsBegunInPauseMenu
             << ", landings at exactly 25: " << seen.landingsAtExactly25
             << ", frames with height decimals " << seen.heightsWithDecimals
             << ", frames with the lines on one row " << seen.linesRunTogether;
}

TrackerModel::TrackerModel(Variant variant) : variant_(variant) {}

void TrackerModel::Apply(const Step& step) {
  std::visit(Overloaded{
                 [&](const Advance& s) { AdvanceBy(s.ticks); },
                 [&](const model::Fire& s) { Fire(s.function); },
                 [&](const SwitchMode& s) { mode_ = s.mode; },
                 [&](const PlaceBall& s) { ballZ_ = s.z; },
                 [&](const PlaceCar& s) { carZ_ = s.z; },
                 [&](const SetGameState& s) { gameStatePresent_ = s.present; },
                 [&](const SetVariable& s) { Set(s.setting, s.value); },
             },
             step);
}

void TrackerModel::AdvanceBy(std::int64_t ticks) {
  now_ += ticks;
  // A check that comes due looks at the game as it is then; the mode only changes between steps.
  while (!checksDue_.empty() && checksDue_.front() <= now_) {
    checksDue_.pop_front();
    const bool wasPractising = practising_;
    practising_ = mode_ == GameMode::Freeplay || mode_ == GameMode::Training;
    if (practising_) ++seen_.practiceChecksPassed;
    if (wasPractising && !practising_ && timer_.running) ++seen_.practiceEndedWhileTiming;
  }
}

void TrackerModel::Fire(GameFunction function) {
  switch (function) {
    case GameFunction::kInit:
      if (drawableRegistered_) return;
      checksDue_.push_back(now_ + kCheckDelayTicks);
      drawableRegistered_ = true;
      awaitingDodge_ = false;
      ballExploded_ = false;
      chainEnded_ = true;
      return;
    case GameFunction::kDestroyed:
      drawableRegistered_ = false;
      ClearTimer();
      awaitingDodge_ = false;
      ballExploded_ = false;
      chainEnded_ = true;
      practising_ = false;
      menuOpen_ = false;
      return;
    default:
      break;
  }
  // Every other handler works only while practising.
  if (!practising_) return;
  switch (function) {
    case GameFunction::kJump:
      if (ballExploded_ || !chainEnded_) return;
      ZeroRecord();
      awaitingDodge_ = false;
      chainEnded_ = false;
      ++seen_.chainsStarted;
      return;
    case GameFunction::kLanded:
      Landing();
      return;
    case GameFunction::kDodge:
      if (!ballExploded_) awaitingDodge_ = false;
      return;
    case GameFunction::kBallGround:
      if (!ballExploded_) chainEnded_ = true;
      return;
    case GameFunction::kRoundStart:
      ZeroRecord();
      awaitingDodge_ = true;
      ballExploded_ = false;
      chainEnded_ = true;
      ++seen_.roundsStarted;
      return;
    case GameFunction::kExplode:
      ballExploded_ = true;
      ++seen_.explosions;
      return;
    case GameFunction::kPause:
      menuOpen_ = true;
      PauseTimer();
      return;
    case GameFunction::kUnpause:
      menuOpen_ = false;
      ResumeTimer();
      return;
    default:
      return;
  }
}

void TrackerModel::Landing() {
  if (awaitingDodge_ || ballExploded_) return;
  if (!gameStatePresent_ || !ballZ_ || !carZ_) return;
  const bool airborne = variant_ == Variant::kCarAt25Counts ? *carZ_ >= 25.0f : *carZ_ > 25.0f;
  if (!airborne) {
    if (*carZ_ == 25.0f) ++seen_.landingsAtExactly25;
    return;
  }
  awaitingDodge_ = true;
  CountReset(HeightPercent(*ballZ_));
}

void TrackerModel::CountReset(float heightPercent) {
  ++seen_.resetsCounted;
  if (!timer_.running) {
    // A chain's first reset times nothing before it, and nothing of the menu it lands in.
    ClearTimer();
    StartTimer();
    if (menuOpen_) {
      PauseTimer();
      ++seen_.chainsBegunInPauseMenu;
    }
    count_ = 1;
    intervalSeconds_ = 0.0;
  } else {
    ++seen_.intervalsMeasured;
    if (timer_.closedSegments > 0) ++seen_.intervalsAcrossPause;
    intervalSeconds_ = static_cast<double>(ElapsedMs()) / 1000.0;
    ClearTimer();
    StartTimer();
    ++count_;
  }
  heightPercent_ = heightPercent;
}

void TrackerModel::ZeroRecord() {
  count_ = 0;
  intervalSeconds_ = 0.0;
  heightPercent_ = 0.0f;
  ClearTimer();
}

void TrackerModel::Set(Setting setting, double typed) {
  switch (setting) {
    case Setting::kEnabled:
      enabled_ = static_cast<int>(Clamped(typed, 0.0, 1.0)) != 0;
      return;
    case Setting::kHeightDecimal:
      heightDecimal_ = static_cast<int>(Clamped(typed, 0.0, 1.0)) != 0;
      return;
    case Setting::kTextSize:
      textSize_ = static_cast<float>(Clamped(typed, 0.0, 10.0));
      return;
    case Setting::kPositionX:
      // Moves the overlay sideways; the texts and their rows stay as they are.
      return;
    case Setting::kPositionY:
      positionY_ = static_cast<int>(Clamped(typed, 0.0, 10000.0));
      return;
  }
}

std::int64_t TrackerModel::NowNs() const {
  return now_ * kNsPerTick;
}

void TrackerModel::StartTimer() {
  if (timer_.running) return;
  timer_.running = true;
  timer_.haltedByPause = false;
  timer_.openedAtNs = NowNs();
}

void TrackerModel::PauseTimer() {
  if (variant_ == Variant::kPauseCounted || !timer_.running) return;
  timer_.closedMs += (NowNs() - timer_.openedAtNs) / kNsPerMs;
  ++timer_.closedSegments;
  timer_.running = false;
  timer_.haltedByPause = true;
}

void TrackerModel::ResumeTimer() {
  if (timer_.haltedByPause) StartTimer();
}

void TrackerModel::ClearTimer() {
  timer_ = PausableTimer{};
}

std::int64_t TrackerModel::ElapsedMs() const {
  return timer_.closedMs + (NowNs() - timer_.openedAtNs) / kNsPerMs;
}

std::string TrackerModel::Frame() {
  if (!drawableRegistered_ || !enabled_) return {};
  if (mode_ != GameMode::Freeplay && mode_ != GameMode::Training) return {};
  ++seen_.framesDrawn;
  if (heightDecimal_) ++seen_.heightsWithDecimals;

  // Each line's label and number share the line's top; the host starts a new group of texts
  // wherever the top changes.
  const float step = std::trunc(textSize_ * 0.5f * 30.0f);
  const float top0 = static_cast<float>(positionY_);
  const float top1 = top0 + step;
  const float top2 = top1 + step;
  if (top1 == top0) ++seen_.linesRunTogether;
  const char* afterResets = top1 != top0 ? " | " : "";
  const char* afterHeight = top2 != top1 ? " | " : "";

  return "Resets: " + Unsigned(count_) + afterResets +
         "Height: " + Fixed(heightPercent_, heightDecimal_ ? 2 : 0) + afterHeight +
         "Time: " + Fixed(static_cast<float>(intervalSeconds_), 2);
}

}  // namespace model
