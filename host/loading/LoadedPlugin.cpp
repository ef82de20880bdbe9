#include "LoadedPlugin.h"

#include <stdexcept>
#include <string>

#include "PathText.h"

namespace host {

using BakkesMod::Plugin::PluginDescriptor;

const PluginDescriptor& ReadDescriptor(const DynamicLibrary& library,
                                       const std::filesystem::path& file) {
  const auto fail = [&file](const std::string& why) {
    throw std::runtime_error(PathText(file) + ": not a plugin module: " + why);
  };
  const auto* record = static_cast<const PluginDescriptor*>(library.Symbol("exports"));
  if (record == nullptr) fail("it exports no descriptor record 'exports'");
  if (record->apiBuildVersion != BakkesMod::Plugin::kApiBuildVersion) {
    fail("it was built for API build " + std::to_string(record->apiBuildVersion) +
         ", this host runs build " + std::to_string(BakkesMod::Plugin::kApiBuildVersion));
  }
  if (record->className == nullptr || *record->className == '\0') fail("its class name is missing");
  if (record->displayName == nullptr || *record->displayName == '\0') {
    fail("its display name is missing");
  }
  if (record->version == nullptr || *record->version == '\0') fail("its version is missing");
  if (record->sourceFile == nullptr) fail("its source file name is missing");
  if (record->create == nullptr) fail("its creation function is missing");
  if (record->destroy == nullptr) fail("its deletion function is missing");
  return *record;
}

LoadedPlugin::LoadedPlugin(pluginsdk::Host& host, const std::filesystem::path& file)
    : library_(file), descriptor_(ReadDescriptor(library_, file)), connection_(host.Connect()) {
  BakkesMod::Plugin::PluginHolder* holder = descriptor_.create();
  if (holder == nullptr || !*holder) {
    throw std::runtime_error(PathText(file) + ": the module made no plugin object");
  }
  plugin_ = *holder;
  settingsWindow_ = dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow*>(plugin_.get());
  plugin_->cvarManager = connection_->cvars;
  plugin_->gameWrapper = connection_->game;
  plugin_->onLoad();
  host.ApplyConfig(connection_->id);
}

LoadedPlugin::~LoadedPlugin() {
  plugin_->onUnload();
  // While the plugin's variables are still registered.
  connection_->host.WriteConfig();
  // Callables made by the module must be gone before its code is unloaded.
  connection_->host.Disconnect(*connection_);
  settingsWindow_ = nullptr;
  plugin_.reset();
  descriptor_.destroy();
  connection_.reset();
}

}  // namespace host
