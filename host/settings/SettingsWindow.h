#pragma once
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Image.h"
#include "PluginSettingsWindow.h"
#include "Texture.h"
#include "imgui.h"

struct ImGuiWindow;

namespace host {

// A rectangle on screen, in pixels.
struct ScreenRect {
  ImVec2 min;
  ImVec2 max;
  ImVec2 Center() const { return {(min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f}; }
};

// The host's settings window: a Dear ImGui context of its own, drawn headless (no platform or
// renderer backend), with one plugin's settings page in it. The plugin draws into this context
// with its own copy of Dear ImGui. Input reaches the window as a mouse gives it. The page must
// outlive the window.
class SettingsWindow {
 public:
  static constexpr float kWidth = 720.0f;
  // Tall enough for the whole page with a colour editor for each text and the statistics below.
  static constexpr float kHeight = 840.0f;

  explicit SettingsWindow(BakkesMod::Plugin::PluginSettingsWindow& page);
  ~SettingsWindow();
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Draws one frame of the window with the page in it, with the mouse as it stands. Returns the
  // page's text as a player reads it, one entry a line (check boxes as "[x]" or "[ ]", slider
  // values in braces).
  std::vector<std::string> Draw();
  // Draws one frame, as a live window does each frame, without reading the page's text.
  void Show();

  // Where the page's widget with that label lies; nothing when the page shows no such widget.
  // Draws one frame to find out, with no input, so the page changes nothing.
  std::optional<ScreenRect> Locate(std::string_view label);
  // Where the item with that ID path (the IDs pushed inside `window`, then the item's own) lies;
  // nothing when the window shows no such item. Draws one frame, like Locate.
  std::optional<ScreenRect> LocateItem(ImGuiWindow& window,
                                       std::initializer_list<std::string_view> idPath);

  // Clicks the page's widget with that label as a mouse does: finds it, then moves there and
  // presses the left button in one frame and releases it in the next. False, with nothing done,
  // when the page shows no such widget.
  bool Click(std::string_view label);

  // Where on the screen the window's top left corner lies (at first the screen's top left).
  void PlaceAt(ImVec2 origin) { origin_ = origin; }
  // A screen lower than the window gets a window as tall as the screen, which then scrolls.
  void FitInto(float screenHeight) { height_ = std::min(kHeight, std::max(screenHeight, 1.0f)); }
  ImVec2 Origin() const { return origin_; }
  // Makes the window's Dear ImGui context the current one, as a platform backend needs it to be
  // while it sets up and while it hands on input.
  void MakeCurrent() const;

  // Mouse input for the next frames, as a platform backend reports it.
  void MoveMouse(ImVec2 position);
  void PressMouse();
  void ReleaseMouse();

  // The window the page is drawn in (null before the first frame), and the popup open on top of
  // it (a colour picker, say), if any.
  ImGuiWindow* PageWindow() const { return pageWindow_; }
  ImGuiWindow* TopPopup() const;
  // What the latest frame drew (null before the first frame).
  const ImDrawData* DrawData() const;
  // The latest frame as a player sees it: the window on a dark screen of its size (wherever the
  // window is placed).
  Image Picture() const;

 private:
  // An item to find while a frame is drawn: its window and its ID path inside it.
  struct Probe {
    ImGuiWindow* window;
    std::initializer_list<std::string_view> idPath;
  };

  void Configure(ImGuiContext& context);
  void BeginWindow();
  // One whole frame. With a probe, also finds where that item was drawn; with a text, reads the
  // page's text into it.
  void Frame(const Probe* probe, std::optional<ScreenRect>* found, std::vector<std::string>* text);
  void DrawPage(const Probe* probe, std::optional<ScreenRect>* found);
  // The page's text, read from a draw in which nothing can happen.
  std::vector<std::string> ReadStillPage();

  BakkesMod::Plugin::PluginSettingsWindow& page_;
  ImGuiContext* context_;
  Texture fontTexture_;                // what the frames' draw commands name as their texture
  ImGuiWindow* pageWindow_ = nullptr;  // known from the first frame on
  ImVec2 origin_{0.0f, 0.0f};
  float height_ = kHeight;
};

}  // namespace host
