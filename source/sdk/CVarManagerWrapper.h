#pragma once
#include <string>

#include "CVarWrapper.h"
#include "SdkExport.h"

namespace pluginsdk {
class PluginConnection;
}

// The host's registry of configuration variables, as one plugin sees it.
class PLUGINSDK_API CVarManagerWrapper {
 public:
  explicit CVarManagerWrapper(pluginsdk::PluginConnection* connection);

  // Makes the variable, or returns the one already registered under that name.
  CVarWrapper registerCvar(std::string name, std::string defaultValue, std::string description,
                           bool searchAble, bool hasMin, float min, bool hasMax, float max,
                           bool saveToCfg);
  // The variable's handle; a null handle when no variable has that name.
  CVarWrapper getCvar(std::string name);

 private:
  pluginsdk::PluginConnection* connection_;
};
