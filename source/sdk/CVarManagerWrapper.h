#pragma once
#include <functional>
#include <string>
#include <vector>

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

  // Makes a console command. Running it calls the callback with the command's words, its name
  // first. A plugin's commands go when the host lets the plugin go.
  void registerNotifier(std::string name,
                        std::function<void(std::vector<std::string> arguments)> callback,
                        std::string description, unsigned char permissions);
  // Runs a console command line, as if typed at the console; with `log` false the console says
  // nothing about it (not even that the command is unknown).
  void executeCommand(std::string command, bool log = true);
  // Writes one line to the host's console.
  void log(std::string text);

 private:
  pluginsdk::PluginConnection* connection_;
};
