#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "FontMetrics.h"
#include "GameControls.h"
#include "GlRenderer.h"
#include "GlfwWindow.h"
#include "Host.h"
#include "Image.h"
#include "RecordingCanvas.h"
#include "ResetMarks.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "WindowLayout.h"
#include "WindowScene.h"

namespace host {

// The host's live window: the game's screen with the plugin's overlay on it, drawn about 60
// times a second in real time, the settings window used with the real mouse and keyboard, and
// keys that play the game (GameControls). Session steps run through the runner at their time;
// frame steps that ask for a picture get the window's framebuffer. Linux only.
class LiveWindow {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;

  // Opens the window (throws std::runtime_error when it cannot) and the runner's settings
  // window in it. The runner, and what it drives, must outlive the window.
  // What it prints goes out through the runner.
  LiveWindow(pluginsdk::Host& host, SessionRunner& runner, const std::string& title);
  ~LiveWindow();
  LiveWindow(const LiveWindow&) = delete;
  LiveWindow& operator=(const LiveWindow&) = delete;

  // Follows the platform's clock from now on and plays: steps at their time, keys as pressed,
  // a frame every 1/60 s. Returns when the window is closed (its close button, Esc, SIGINT or
  // SIGTERM) or, with `closeAtEnd`, once the last step has run.
  void Run(const std::vector<Step>& steps, const std::string& source, bool closeAtEnd);

  // Draws the window as it would show a frame with these canvas calls (the settings window
  // drawn anew, if shown) and reads the picture back from OpenGL.
  Image Screenshot(const std::vector<CanvasCall>& calls);
  // The scene drawn last, drawn again by the software rasteriser.
  Image SoftwarePicture() { return scene_.Rasterize(); }

  // Plays the action now, as its key does: every timeout due by now runs first, and a recording
  // gets the action's game steps at this one time.
  void Play(GameAction action);

  void ShowSettings(bool shown) { settingsShown_ = shown; }
  GameControls& Controls() { return controls_; }
  int Width() const { return window_.Width(); }
  int Height() const { return window_.Height(); }
  // The canvas the plugin draws on: the part of the game the player sees, left of the settings
  // window (when shown) and above the band, whatever size the window has been given.
  Vector2 ScreenSize() const;

 private:
  WindowLayout Layout() const;

  struct KeyPress {
    int key;
    bool repeat;
  };

  static void OnKey(struct GLFWwindow* window, int key, int scancode, int action, int mods);
  void HandleKeys();
  bool KeyboardTaken() const;
  void RenderScene(const std::vector<CanvasCall>& calls);
  void DrawLiveFrame();
  // Writes the frame to the recording, and prints it, when its text differs from the last one
  // written or a screenshot is taken of it: the window draws 60 frames a second.
  void RecordLiveFrame(SessionRecorder& recorder, std::int64_t ticks);
  void SaveScreenshot();
  void WaitForInput(std::int64_t until);

  pluginsdk::Host& host_;
  SessionRunner& runner_;
  GlfwWindow window_;
  GlRenderer renderer_;
  FontMetrics font_;
  WindowScene scene_;
  std::shared_ptr<RecordingCanvas> canvas_;
  GameControls controls_;
  ResetMarks marks_;
  SettingsWindow* settings_;  // null: the plugin has no settings page
  bool settingsShown_ = true;
  bool quit_ = false;
  bool screenshotAsked_ = false;
  std::vector<KeyPress> keys_;
  std::int64_t actionTicks_ = 0;  // when the action being played began
};

// quillon-host --window: plays the session (none: free play from the start) in a live window
// on the host and the loaded plugin, printing frame lines to `out` as a replay does. Returns how
// the session's expect steps went.
Expectations RunLiveWindow(pluginsdk::Host& host, LoadedPlugin& plugin,
                           const std::vector<Step>& steps, const std::string& source,
                           std::ostream& out, ReplayOptions options, bool closeAtEnd);

}  // namespace host
