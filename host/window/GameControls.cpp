#include "GameControls.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace host {
namespace {

using pluginsdk::ActorState;
using pluginsdk::GameMode;

double BallPercent(float z) {
  return (static_cast<double>(z) - GameControls::kBallFloor) / GameControls::kBallSpan * 100.0;
}

const char* ModeName(GameMode mode) {
  switch (mode) {
    case GameMode::Menu:
      return "menu";
    case GameMode::Freeplay:
      return "free play";
    case GameMode::Training:
      return "custom training";
    case GameMode::Match:
      return "match";
  }
  return "?";
}

GameMode ModeAfter(GameMode mode) {
  switch (mode) {
    case GameMode::Freeplay:
      return GameMode::Training;
    case GameMode::Training:
      return GameMode::Match;
    case GameMode::Match:
      return GameMode::Menu;
    case GameMode::Menu:
      break;
  }
  return GameMode::Freeplay;
}

}  // namespace

void GameControls::Play(GameAction action) {
  switch (action) {
    case GameAction::Jump:
      Run("jump");
      break;
    case GameAction::LandInAir:
      PlaceCar(kCarInAir);
      Run("landed");
      break;
    case GameAction::LandOnFloor:
      PlaceCar(pluginsdk::GameWorld::kCarOnFloor.Z);
      Run("landed");
      break;
    case GameAction::Dodge:
      Run("dodge");
      break;
    case GameAction::BallTouchesGround:
      Run("ballground");
      break;
    case GameAction::RoundStart:
      Run("roundstart");
      break;
    case GameAction::BallExplodes:
      Run("explode");
      break;
    case GameAction::TogglePause:
      Run(paused_ ? "unpause" : "pause");
      paused_ = !paused_;
      break;
    case GameAction::BallUp:
      StepBall(1);
      break;
    case GameAction::BallDown:
      StepBall(-1);
      break;
    case GameAction::NextMode:
      EnterMode(ModeAfter(host_.World().mode));
      break;
  }
  host_.RunDeferred();
}

void GameControls::EnterMode(GameMode mode) {
  auto& world = host_.World();
  if (world.mode != GameMode::Menu) Run("destroyed");
  world.mode = mode;
  Tell(SetMode{mode});
  paused_ = false;
  if (mode != GameMode::Menu) Run("init");
  host_.RunDeferred();
}

void GameControls::Follow(const Step& step) {
  const auto* event = std::get_if<FireEvent>(&step.action);
  if (event == nullptr) return;
  const std::string_view function = *event->function;
  if (function == GameFunctionFor("pause")) paused_ = true;
  if (function == GameFunctionFor("unpause") || function == GameFunctionFor("destroyed")) {
    paused_ = false;
  }
}

std::string GameControls::Status() const {
  const auto& world = host_.World();
  std::string status = ModeName(world.mode);
  const auto& ball = world.gameState->ball;
  status += ball ? " | ball " + std::to_string(std::lround(BallPercent(ball->location.Z))) + " %"
                 : " | no ball";
  if (!world.localCar) {
    status += " | no car";
  } else {
    status += world.localCar->location.Z > 25.0f ? " | car in the air" : " | car on the floor";
  }
  if (paused_) status += " | paused";
  return status;
}

void GameControls::Run(std::string_view shortName) {
  const FireEvent event = *EventStep(shortName);
  host_.FireEvent(*event.function);
  Tell(event);
}

void GameControls::PlaceCar(float z) {
  auto& car = host_.World().localCar;
  Vector location = car ? car->location : pluginsdk::GameWorld::kCarOnFloor;
  location.Z = z;
  car = std::make_shared<ActorState>(ActorState{location});
  Tell(host::PlaceCar{location});
}

void GameControls::PlaceBall(double percent) {
  auto& ball = host_.World().gameState->ball;
  if (!ball) return;
  Vector location = ball->location;
  location.Z = static_cast<float>(kBallFloor + std::clamp(percent, 0.0, 100.0) / 100.0 * kBallSpan);
  ball = std::make_shared<ActorState>(ActorState{location});
  Tell(host::PlaceBall{location});
}

void GameControls::StepBall(int direction) {
  const auto& ball = host_.World().gameState->ball;
  if (!ball) return;
  // Steps land on whole multiples of the step, so heights read as round numbers.
  const double steps = std::round(BallPercent(ball->location.Z) / kBallStepPercent) + direction;
  PlaceBall(steps * kBallStepPercent);
}

}  // namespace host
