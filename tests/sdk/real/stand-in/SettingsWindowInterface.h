#pragma once
// A stand-in for the host SDK's settings-window interface, written for the adapter's test: the
// host's names and signatures in the host's order; the includer brings <string> and <cstdint>.

namespace BakkesMod::Plugin {

class PluginSettingsWindow {
 public:
  virtual ~PluginSettingsWindow() = default;
  virtual void RenderSettings() = 0;
  virtual std::string GetPluginName() = 0;
  virtual void SetImGuiContext(uintptr_t context) = 0;
};

}  // namespace BakkesMod::Plugin
