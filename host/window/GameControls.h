#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "Host.h"
#include "SessionScript.h"

namespace host {

// What a key of the live window does in the game.
enum class GameAction {
  Jump,
  LandInAir,
  LandOnFloor,
  Dodge,
  BallTouchesGround,
  RoundStart,
  BallExplodes,
  TogglePause,
  BallUp,
  BallDown,
  NextMode,
};

// The game as the live window's keys play it: each action runs on the host the game functions
// the game would run for it and moves the car or the ball, then the deferred work it queued.
class GameControls {
 public:
  // Where a landing "in the air" happens: well above the 25 units from which one counts.
  static constexpr float kCarInAir = 150.0f;
  // The ball's centre on the floor and at the ceiling: the span its height is measured in.
  static constexpr double kBallFloor = 93.15;
  static constexpr double kBallSpan = 1861.7;
  // Up and Down move the ball by this share of its span from floor to ceiling.
  static constexpr double kBallStepPercent = 5.0;

  explicit GameControls(pluginsdk::Host& host) : host_(host) {}

  // Hears each step an action takes, as a script would write it (a recording keeps them).
  using StepListener = std::function<void(const StepAction& step)>;
  void Listen(StepListener listener) { listener_ = std::move(listener); }

  void Play(GameAction action);
  // Changes the mode as the game does: the game event in progress ends (none in the menu), the
  // mode changes and, outside the menu, a new game event begins.
  void EnterMode(pluginsdk::GameMode mode);
  // Puts the ball at that height, in percent of its span from floor to ceiling.
  void PlaceBall(double percent);
  // Keeps the pause key in step with a script step that opens or leaves the pause menu itself.
  void Follow(const Step& step);

  bool Paused() const { return paused_; }
  // The game as one line: mode, ball height, car and pause, such as
  // "free play | ball 45 % | car in the air | paused".
  std::string Status() const;

 private:
  void Run(std::string_view shortName);
  void PlaceCar(float z);
  void StepBall(int direction);

  void Tell(const StepAction& step) const {
    if (listener_) listener_(step);
  }

  pluginsdk::Host& host_;
  StepListener listener_;
  bool paused_ = false;
};

}  // namespace host
