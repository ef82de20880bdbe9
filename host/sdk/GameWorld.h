#pragma once
#include <memory>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {

enum class GameMode { Menu, Freeplay, Training, Match };

struct ActorState {
  Vector location;
};

// Like the game, a null actor is at the origin rather than failing.
PLUGINSDK_API Vector LocationOf(const ActorState* actor);

// An actor in the game, as its handle (ServerWrapper) is one.
struct GameState : ActorState {
  std::shared_ptr<ActorState> ball;  // null: the game state has no ball
};

// The ball; null when there is none, or no game state.
PLUGINSDK_API std::shared_ptr<ActorState> BallOf(const GameState* state);

// What the game currently is: the mode, and which objects exist where. Starts in the menu with a
// game state, a ball resting on the floor and the local car on its wheels.
struct GameWorld {
  // Not constexpr: the host's own SDK, whose Vector the handles over it see, has no constexpr
  // constructor.
  static inline const Vector kBallAtRest{0.0f, 0.0f, 93.15f};
  static inline const Vector kCarOnFloor{0.0f, 0.0f, 17.0f};

  GameMode mode = GameMode::Menu;
  bool gameStatePresent = true;
  std::shared_ptr<GameState> gameState = std::make_shared<GameState>(
      GameState{{}, std::make_shared<ActorState>(ActorState{kBallAtRest})});
  std::shared_ptr<ActorState> localCar = std::make_shared<ActorState>(ActorState{kCarOnFloor});
};

}  // namespace pluginsdk
