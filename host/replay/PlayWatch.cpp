#include "PlayWatch.h"

#include "ResetHeight.h"
#include "ScriptLine.h"
#include "SessionRunner.h"
#include "ValueText.h"

namespace host {
namespace {

using pluginsdk::GameMode;

bool Practice(GameMode mode) {
  return mode == GameMode::Freeplay || mode == GameMode::Training;
}

// Whether a frame's text shows a count of resets above 0.
bool ShowsReset(std::string_view text) {
  constexpr std::string_view kLabel = "Resets: ";
  const auto at = text.find(kLabel);
  if (at == std::string_view::npos || at + kLabel.size() >= text.size()) return false;
  const char digit = text[at + kLabel.size()];
  return digit >= '1' && digit <= '9';
}

}  // namespace

void PlayWatch::BeforeStep(pluginsdk::Host& host, const Step& step) {
  auto& world = host.World();
  pendingBefore_ = host.PendingTimeouts();
  // The checks run in the order they were set, each 3 s after its game event began.
  for (std::size_t ran = pending_ > pendingBefore_ ? pending_ - pendingBefore_ : 0;
       ran > 0 && !checksDue_.empty(); --ran) {
    gameEventAt_ = checksDue_.front();
    checksDue_.pop_front();
    checked_ = true;
    checkedMode_ = world.mode;
  }
  initAt_.reset();
  const auto* event = std::get_if<FireEvent>(&step.action);
  if (event == nullptr) return;
  const std::string_view name = ShortEventName(*event);
  if (name == "init") {
    gameEvent_ = true;
    initAt_ = step.ticks;
  } else if (name == "landed" && !checked_) {
    ++landingsBeforeCheck_;
  } else if (name == "landed") {
    ++landingsAfterCheck_;
    if (world.localCar && (!highestLanding_ || world.localCar->location.Z > *highestLanding_)) {
      highestLanding_ = world.localCar->location.Z;
    }
  }
}

void PlayWatch::AfterStep(const pluginsdk::Host& host) {
  pending_ = host.PendingTimeouts();
  // An init that set a timeout began a game event with its own check to come. One that set none
  // (a second init while the overlay is up) leaves the check that counts as it was.
  if (initAt_ && pending_ > pendingBefore_) {
    checksDue_.push_back(*initAt_);
    gameEventAt_ = *initAt_;
    checked_ = false;
  }
}

void PlayWatch::FrameShown(pluginsdk::Host& host, std::string_view text) {
  ++frames_;
  if (drawn_) {
    resetShown_ = resetShown_ || ShowsReset(text);
    return;
  }
  drawn_ = text != kNothingDrawn;
  if (frames_ == 1) enabled_ = host.FindVariable("quillon_enabled");
  scene_ = {enabled_ == nullptr || enabled_->AsBool(), gameEvent_, host.World().mode};
  resetShown_ = ShowsReset(text);
}

std::optional<std::string> PlayWatch::Hint() const {
  if (frames_ == 0) return std::nullopt;
  return drawn_ ? NoReset() : NothingDrawn();
}

std::optional<std::string> PlayWatch::NothingDrawn() const {
  const std::string prefix = "hint: nothing was drawn: ";
  if (!scene_.enabled) {
    return prefix + "the overlay is switched off; add 'set quillon_enabled 1'";
  }
  if (!scene_.gameEvent) {
    return prefix + "no game event had begun; add 'event init', which starts the overlay";
  }
  if (!Practice(scene_.mode)) {
    return prefix + "the game was in " + ModeWord(scene_.mode) +
           ", and the overlay shows in free play and training only; add 'mode freeplay'";
  }
  return std::nullopt;
}

std::optional<std::string> PlayWatch::NoReset() const {
  if (resetShown_) return std::nullopt;
  const std::string prefix = "hint: no reset was counted: ";
  if (!gameEvent_) return std::nullopt;
  const std::string check =
      "the practice check (3 s after 'event init' at " + FormatTime(gameEventAt_) + ")";
  if (!checked_) {
    return prefix + "the session ended before " + check + ", and play before it is ignored";
  }
  if (!Practice(checkedMode_)) {
    return prefix + check + " found the game in " + ModeWord(checkedMode_) +
           ", not in free play or training; add 'mode freeplay' before it";
  }
  if (landingsAfterCheck_ == 0 && landingsBeforeCheck_ > 0) {
    return prefix + "every landing came before " + check + ", and play before it is ignored";
  }
  if (landingsAfterCheck_ == 0) {
    return prefix + "no landing came after " + check + "; a reset is an 'event landed'";
  }
  if (!highestLanding_ || *highestLanding_ <= quillon::kResetCarHeight) {
    const std::string highest = highestLanding_
                                    ? "at most " + pluginsdk::FormatNumber(*highestLanding_)
                                    : "there was no car";
    return prefix + "the car was never above " + pluginsdk::FormatNumber(quillon::kResetCarHeight) +
           " units at a landing (" + highest + "); put it in the air first, as 'car 0 0 300'";
  }
  return std::nullopt;
}

}  // namespace host
