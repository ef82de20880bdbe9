#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "FontMetrics.h"
#include "Host.h"
#include "LoadedPlugin.h"
#include "QuillonPlugin.h"
#include "RecordingCanvas.h"

namespace testing_support {

// Path of the plugin module under test, set by the build.
inline const char* PluginPath() {
  return QUILLON_PLUGIN_PATH;
}

// A host with the plugin loaded, driven the way the host program drives it: time moves forward,
// game functions run by name, deferred work runs after each action, frames are drawn on a
// recording canvas.
class PluginSession {
 public:
  // The host's data folder is `dataFolder`, or a fresh temporary one when it is empty.
  explicit PluginSession(const std::filesystem::path& dataFolder = {});
  ~PluginSession();

  pluginsdk::Host& Host() { return host_; }
  host::LoadedPlugin& Loaded() { return *plugin_; }
  // The plugin object itself, for the few checks a player cannot see.
  QuillonPlugin& Plugin() { return static_cast<QuillonPlugin&>(plugin_->Plugin()); }

  // Lets the plugin go as the host does at the end (onUnload, deleteMe, the library unloaded);
  // the host stays, to be looked at.
  void Unload() { plugin_.reset(); }
  // Moves the clock to `seconds` from the start, running due timeouts.
  void At(double seconds);
  // Runs a game function by its short script name (init, jump, landed, ...), then deferred work.
  void Fire(std::string_view shortName);
  void Mode(pluginsdk::GameMode mode) { host_.World().mode = mode; }
  void Ball(float z);
  void Car(float z);
  // init, then the practice check 3 s later in free play.
  void StartFreeplay(double seconds = 0.0);
  // Sets a variable as the console does; fails the test when refused.
  void Set(const std::string& name, const std::string& value);
  // Draws a frame; returns its text as the host program prints it (empty: nothing drawn).
  std::string Frame();
  // The canvas size of the following frames (at first the game's screen).
  void Screen(Vector2 size) { canvas_->Resize(size); }
  const std::vector<host::CanvasCall>& LastFrameCalls() const { return canvas_->Calls(); }
  host::FontMetrics& Font() { return font_; }

 private:
  pluginsdk::Host host_;
  std::unique_ptr<host::LoadedPlugin> plugin_;
  host::FontMetrics font_;
  std::shared_ptr<host::RecordingCanvas> canvas_;
};

}  // namespace testing_support
