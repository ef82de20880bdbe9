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
  // A copy and a destructor of its own and no move, as every handle of the host's SDK has: a
  // handle passed or returned by value calls the same functions in both SDKs.
  ActorWrapper(const ActorWrapper& other);
  ~ActorWrapper();

  // None of these is const, as in the host's SDK.
  explicit operator bool() { return actor_ != nullptr; }
  bool IsNull() { return actor_ == nullptr; }
  Vector GetLocation();

 private:
  std::shared_ptr<pluginsdk::ActorState> actor_;
};

class PLUGINSDK_API BallWrapper : public ActorWrapper {
 public:
  using ActorWrapper::ActorWrapper;
  BallWrapper(const BallWrapper& other);
  ~BallWrapper();
};

class PLUGINSDK_API CarWrapper : public ActorWrapper {
 public:
  using ActorWrapper::ActorWrapper;
  CarWrapper(const CarWrapper& other);
  ~CarWrapper();
};
