#pragma once
// What a replay saw of the play that the overlay and its resets need, so a run that never drew
// anything, or never showed a reset, can name the likely cause on standard error.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Host.h"
#include "SessionScript.h"

namespace host {

class PlayWatch {
 public:
  // Before a step runs, once the clock has reached its time: a timeout of the plugin's that ran
  // on the way was a practice check, which found the game in the mode it is in now.
  void BeforeStep(pluginsdk::Host& host, const Step& step);
  // After a step and its deferred work: the timeouts then waiting, and whether the step began a
  // game event with a practice check of its own.
  void AfterStep(const pluginsdk::Host& host);
  // A frame step drew `text` ("(nothing drawn)" when it drew nothing).
  void FrameShown(pluginsdk::Host& host, std::string_view text);

  // One line, "hint: ...", when frames were drawn but none showed anything, or none showed a
  // reset, and what the run saw explains it; nothing otherwise.
  std::optional<std::string> Hint() const;

 private:
  // What held at the latest frame while no frame had shown anything yet.
  struct FrameScene {
    bool enabled = true;
    bool gameEvent = false;
    pluginsdk::GameMode mode = pluginsdk::GameMode::Menu;
  };
  std::optional<std::string> NothingDrawn() const;
  std::optional<std::string> NoReset() const;

  std::size_t pending_ = 0;             // timeouts waiting after the latest step
  std::size_t pendingBefore_ = 0;       // timeouts waiting as the latest step began
  std::optional<std::int64_t> initAt_;  // the latest step's time, when it was an 'event init'
  bool gameEvent_ = false;              // a game event has begun
  // When each game event whose practice check is still to come began, oldest first.
  std::deque<std::int64_t> checksDue_;
  // When the game event began whose check the hint is about: the latest check that ran, or,
  // while a later one is to come, that one.
  std::int64_t gameEventAt_ = 0;
  bool checked_ = false;  // the practice check of the game event at gameEventAt_ has run
  pluginsdk::GameMode checkedMode_ = pluginsdk::GameMode::Menu;
  int landingsBeforeCheck_ = 0;
  int landingsAfterCheck_ = 0;
  std::optional<float> highestLanding_;  // the car's highest place at a landing after the check
  int frames_ = 0;
  bool drawn_ = false;
  bool resetShown_ = false;
  FrameScene scene_;
  std::shared_ptr<const pluginsdk::ConsoleVariable> enabled_;  // the overlay's switch
};

}  // namespace host
