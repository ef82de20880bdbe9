#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "ActorWrapper.h"
#include "CanvasWrapper.h"
#include "SdkExport.h"
#include "ServerWrapper.h"

namespace pluginsdk {
class PluginConnection;
}

// The game as one plugin sees it: modes, objects, hooks, timeouts, deferred work and drawables.
// Every callable runs on the game thread, one at a time.
class PLUGINSDK_API GameWrapper {
 public:
  explicit GameWrapper(pluginsdk::PluginConnection* connection);

  bool IsInGame();
  bool IsInFreeplay();
  bool IsInCustomTraining();
  // The current game state; a null handle when there is none.
  ServerWrapper GetCurrentGameState();
  // The player's own car; a null handle when there is none.
  CarWrapper GetLocalCar();
  // The host's data folder, where plugins keep their files; empty when the host has none.
  std::filesystem::path GetDataFolder();

  // Calls the callable, with the function's name, each time the game function runs.
  void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback);
  // Calls the callable once, the given number of seconds from now.
  void SetTimeout(std::function<void(GameWrapper*)> callback, float seconds);
  // Calls the callable on the game thread, after the host's current piece of work.
  void Execute(std::function<void(GameWrapper*)> callback);
  // Calls the callable every frame with the frame's canvas.
  void RegisterDrawable(std::function<void(CanvasWrapper)> callback);
  // Removes every drawable of this plugin.
  void UnregisterDrawables();
  // Shows a short notification over the game for `seconds`: a box of that size with the title
  // above the text.
  void Toast(std::string title, std::string text, std::string texture = "default",
             float seconds = 3.5f, std::uint8_t type = 0, float width = 290.0f,
             float height = 60.0f);

 private:
  pluginsdk::PluginConnection* connection_;
};
