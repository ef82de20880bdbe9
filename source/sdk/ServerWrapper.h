#pragma once
#include <memory>

#include "ActorWrapper.h"
#include "SdkExport.h"

namespace pluginsdk {
struct GameState;
}

// Handle to the current game state (the running match or practice). A null handle tests false.
class PLUGINSDK_API ServerWrapper {
 public:
  ServerWrapper() = default;
  explicit ServerWrapper(std::shared_ptr<pluginsdk::GameState> state);

  explicit operator bool() const { return state_ != nullptr; }
  // The ball; a null handle when there is none. Not const, as in the host's SDK.
  BallWrapper GetBall();

 private:
  std::shared_ptr<pluginsdk::GameState> state_;
};
