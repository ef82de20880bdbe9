#pragma once
#include <filesystem>
#include <memory>

#include "DynamicLibrary.h"
#include "Host.h"
#include "PluginDescriptor.h"
#include "PluginSettingsWindow.h"

namespace host {

// A plugin module loaded and running in the host, from load to unload.
class LoadedPlugin {
 public:
  // Loads the module, checks its descriptor record, makes the plugin object, hands it its two
  // host objects, calls onLoad and applies the host's saved settings. Throws std::runtime_error,
  // naming the file, when the module cannot be loaded or its record is missing or malformed;
  // nothing is left behind then.
  LoadedPlugin(pluginsdk::Host& host, const std::filesystem::path& file);
  // onUnload, saves the settings, then drops everything the plugin registered, lets the object go
  // and unloads.
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  const BakkesMod::Plugin::PluginDescriptor& Descriptor() const { return descriptor_; }
  BakkesMod::Plugin::BakkesModPlugin& Plugin() const { return *plugin_; }
  // The plugin's settings page, or null when it offers none.
  BakkesMod::Plugin::PluginSettingsWindow* SettingsWindow() const { return settingsWindow_; }
  pluginsdk::PluginConnection& Connection() const { return *connection_; }

 private:
  DynamicLibrary library_;
  const BakkesMod::Plugin::PluginDescriptor& descriptor_;
  std::shared_ptr<pluginsdk::PluginConnection> connection_;
  std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> plugin_;
  BakkesMod::Plugin::PluginSettingsWindow* settingsWindow_ = nullptr;
};

// The descriptor record of an opened module, checked field by field. Throws std::runtime_error
// naming the file when it is missing or malformed.
const BakkesMod::Plugin::PluginDescriptor& ReadDescriptor(const DynamicLibrary& library,
                                                          const std::filesystem::path& file);

}  // namespace host
