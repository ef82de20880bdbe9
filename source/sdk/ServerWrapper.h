#pragma once
#include <memory>

#include "ActorWrapper.h"
#include "SdkExport.h"

namespace pluginsdk {
struct GameState;
}

// Handle to the current game state (the running match or practice). An actor, as in the host's
// SDK, so its null test is the actor's; a null handle tests false.
class PLUGINSDK_API ServerWrapper : public ActorWrapper {
 public:
  ServerWrapper() = default;
  explicit ServerWrapper(std::shared_ptr<pluginsdk::GameState> state);
  ServerWrapper(const ServerWrapper& other);
  ~ServerWrapper();

  // The ball; a null handle when there is none. Not const, as in the host's SDK.
  BallWrapper GetBall();

 private:
  std::shared_ptr<pluginsdk::GameState> state_;
};
