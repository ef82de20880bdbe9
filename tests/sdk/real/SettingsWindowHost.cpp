#include "SettingsWindowHost.h"

#include <cstdint>
#include <string>

#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace realsdk {

std::string CallSettingsWindow(BakkesMod::Plugin::BakkesModPlugin& plugin, HostCall call,
                               std::uintptr_t context) {
  auto& window = dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow&>(plugin);
  switch (call) {
    case HostCall::kSetImGuiContext:
      window.SetImGuiContext(context);
      return "";
    case HostCall::kRenderSettings:
      window.RenderSettings();
      return "";
    case HostCall::kGetPluginName:
      return window.GetPluginName();
  }
  return "";
}

}  // namespace realsdk
