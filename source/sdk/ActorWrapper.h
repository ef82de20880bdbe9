#pragma once
#include <memory>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {
struct ActorState;
}

// Handle to an object in the game world. Holds its own reference; a null handle tests false.
class PLUGINSDK_API ActorWrapper {
 public:
  ActorWrapper() = default;
  explicit ActorWrapper(std::shared_ptr<pluginsdk::ActorState> actor);

  explicit operator bool() const { return actor_ != nullptr; }
  bool IsNull() const { return actor_ == nullptr; }
  // Not const, as in the host's SDK.
  Vector GetLocation();

 private:
  std::shared_ptr<pluginsdk::ActorState> actor_;
};

class PLUGINSDK_API BallWrapper : public ActorWrapper {
 public:
  using ActorWrapper::ActorWrapper;
};

class PLUGINSDK_API CarWrapper : public ActorWrapper {
 public:
  using ActorWrapper::ActorWrapper;
};
