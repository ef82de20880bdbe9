#pragma once
// The host's side of the settings window, compiled apart from the adapter as the host is: it
// knows only its own declarations.
#include <cstdint>
#include <string>

namespace BakkesMod::Plugin {
class BakkesModPlugin;
}

namespace realsdk {

// Which of the host's three operations to call.
enum class HostCall { kSetImGuiContext, kRenderSettings, kGetPluginName };

// Finds the settings window on the plugin as the host does (dynamic_cast to the host's class;
// std::bad_cast when the plugin has none) and makes the one call. Returns the page's name for
// kGetPluginName, "" for the others.
std::string CallSettingsWindow(BakkesMod::Plugin::BakkesModPlugin& plugin, HostCall call,
                               std::uintptr_t context);

}  // namespace realsdk
