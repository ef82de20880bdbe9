#include "GameWorld.h"

namespace pluginsdk {

Vector LocationOf(const ActorState* actor) {
  return actor != nullptr ? actor->location : Vector{};
}

std::shared_ptr<ActorState> BallOf(const GameState* state) {
  return state != nullptr ? state->ball : nullptr;
}

}  // namespace pluginsdk
