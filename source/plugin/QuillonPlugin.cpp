#include "QuillonPlugin.h"

#include "PluginDescriptor.h"

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginHolder;

namespace {

// The module's one owner of the plugin object; empty until the host asks for the plugin.
PluginHolder pluginHolder;

}  // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT PluginHolder* getPlugin() {
  if (!pluginHolder) {
    // A separate control record (not make_shared), so the object's storage goes with it.
    pluginHolder = std::shared_ptr<QuillonPlugin>(new QuillonPlugin());
  }
  return &pluginHolder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe() {
  if (!pluginHolder) return;
  // Empty the holder first, so nothing reached from the destructor sees a half-dead plugin.
  const PluginHolder released = std::move(pluginHolder);
}

// Declared before it is defined: a definition of an extern variable draws a warning.
extern BAKKESMOD_PLUGIN_EXPORT const BakkesMod::Plugin::PluginDescriptor exports;
const BakkesMod::Plugin::PluginDescriptor exports{
    BakkesMod::Plugin::kApiBuildVersion,
    0,
    __FILE__,
    "QuillonPlugin",
    "Quillon Plugin",
    "1.1.0.1",
    1,
    &getPlugin,
    &deleteMe,
};
}

void QuillonPlugin::onLoad() {
  RegisterVariables();
  HookGameFunctions();
  LoadStatistics();
  StartRecordingWriter();
}

void QuillonPlugin::onUnload() {
  StopRecording();
  StopChainLog();
  record.intervalStopwatch.StopAndClear();
  overlayRegistered = false;
  awaitingDodge = false;
  ballExploded = false;
  chainEnded = false;
  practiceActive = false;
  pauseMenuOpen = false;
}

std::weak_ptr<QuillonPlugin> QuillonPlugin::WeakSelf() {
  if (pluginHolder.get() != static_cast<BakkesModPlugin*>(this)) return {};
  return std::static_pointer_cast<QuillonPlugin>(pluginHolder);
}
