#pragma once
#include <memory>

#include "CVarManagerWrapper.h"
#include "GameWrapper.h"
#include "SdkExport.h"

namespace BakkesMod::Plugin {

// Base of every plugin object. The host fills both references before it calls onLoad.
// There is deliberately no virtual destructor: the host never deletes through this base.
class BAKKESMOD_PLUGIN_EXPORT BakkesModPlugin {
 public:
  std::shared_ptr<CVarManagerWrapper> cvarManager;
  std::shared_ptr<GameWrapper> gameWrapper;

  virtual void onLoad() {}
  virtual void onUnload() {}
};

}  // namespace BakkesMod::Plugin
