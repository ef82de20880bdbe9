#pragma once
// The host's settings-window interface under the plugin's names for its three operations.
#include <cstdint>
#include <string>

#include "bakkesmod/plugin/PluginSettingsWindow.h"

namespace BakkesMod::Plugin {

// The host calls its own three operations; each hands the call to the plugin's operation in the
// same slot of the stand-in SDK's interface. Final, so a plugin cannot bypass its own names.
class SettingsWindowForwarder : public PluginSettingsWindow {
 public:
  void RenderSettings() final { DrawSettingsPage(); }
  std::string GetPluginName() final { return GetSettingsTitle(); }
  void SetImGuiContext(std::uintptr_t context) final { AttachGuiContext(context); }

  // Emits the page's widgets into the window the host has begun.
  virtual void DrawSettingsPage() = 0;
  // Title of the page.
  virtual std::string GetSettingsTitle() = 0;
  // Makes the host's Dear ImGui context (an ImGuiContext*) current for the module.
  virtual void AttachGuiContext(std::uintptr_t context) = 0;
};

}  // namespace BakkesMod::Plugin

// The plugin derives from BakkesMod::Plugin::PluginSettingsWindow; in its files that name means
// the forwarder. The host's class keeps its own name as the forwarder's base, because the host
// finds the interface with dynamic_cast, which matches classes by name across modules.
#define PluginSettingsWindow SettingsWindowForwarder
