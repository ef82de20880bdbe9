#pragma once
#include <cstdint>
#include <string>

namespace BakkesMod::Plugin {

// A plugin that offers a page in the host's settings window, drawn with Dear ImGui.
// Not exported by modules (only BakkesModPlugin is): the host finds this interface on the plugin
// object with dynamic_cast, which matches type information by name across modules.
class PluginSettingsWindow {
 public:
  virtual ~PluginSettingsWindow() = default;
  // Emits the page's widgets into the window the host has begun.
  virtual void DrawSettingsPage() = 0;
  // Title of the page.
  virtual std::string GetSettingsTitle() = 0;
  // Makes the host's Dear ImGui context (an ImGuiContext*) current for the module.
  virtual void AttachGuiContext(std::uintptr_t context) = 0;
};

}  // namespace BakkesMod::Plugin
