#pragma once
#include <initializer_list>
#include <memory>
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
  // The size it opens with: tall enough for the whole page with a colour editor for each text
  // and the statistics below, the recording's line included.
  static constexpr float kWidth = 720.0f;
  static constexpr float kHeight = 880.0f;

  explicit SettingsWindow(BakkesMod::Plugin::PluginSettingsWindow& page);
  ~SettingsWindow();
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Draws one frame of the window with the page in it, with the mouse as it stands. Returns the
  // page's text as a player reads it, one entry a line (check boxes as "[x]" or "[ ]", slider
  // values in braces, under a colour editor's label its swatch as "[colour R G B A]"), the whole
  // page even where the window shows only part of it.
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
  // The tooltip the page shows with the mouse over the widget with that label, `share` of the way
  // across it (0 its left edge, 1 its right), level with its centre; its last line, or nothing when
  // no tooltip shows. Read from the still page, so the mouse changes nothing.
  std::optional<std::string> TooltipOver(std::string_view label, float share);
  // Whether the latest Click met a popup (a colour picker) open over the page and, landing
  // outside it, only closed it: Dear ImGui gives such a click to no widget below.
  bool ClickOnlyClosedPopup() const { return clickOnlyClosedPopup_; }
  // The labels a click finds on the page as it stands, top to bottom.
  std::vector<std::string> Labels();

  // Where on the screen the window's top left corner lies (at first the screen's top left).
  void PlaceAt(ImVec2 origin) { origin_ = origin; }
  ImVec2 Origin() const { return origin_; }
  // The window's size from the next frame on; a page taller than the window scrolls.
  void Resize(ImVec2 size) { size_ = size; }
  ImVec2 Size() const { return size_; }
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
  // An item to find while a frame is drawn: its window (null: the page's window of the frame)
  // and its ID path inside it.
  struct Probe {
    ImGuiWindow* window;
    std::initializer_list<std::string_view> idPath;
  };

  void Configure(ImGuiContext& context, ImVec2 displaySize);
  void BeginWindow(ImVec2 size);
  // One whole frame. With a probe, also finds where that item was drawn; with a text, reads the
  // page's text into it. False when Dear ImGui cut the text short (see Frame).
  bool Frame(const Probe* probe, std::optional<ScreenRect>* found, std::vector<std::string>* text);
  // Draws the page in the current context; with a probe, also finds where that item was drawn.
  void DrawPage(const Probe* probe, std::optional<ScreenRect>* found);

  // The still page: the page drawn in a context of its own, with no input but a mouse placed
  // there, in a window tall enough that nothing is left out. The page can change nothing there
  // and shows the values as the registry holds them.
  using StillContext = std::unique_ptr<ImGuiContext, void (*)(ImGuiContext*)>;
  StillContext OpenStillPage();
  // One frame of the still page; returns all it logged as text (a tooltip's text included,
  // which ends the log). With a probe, also finds where that item was drawn.
  std::string StillFrame(ImGuiContext& still, const Probe* probe, std::optional<ScreenRect>* found);
  // Under each colour editor's label line, its swatch's colour as the swatch's tooltip tells it.
  void AddSwatchColours(ImGuiContext& still, std::vector<std::string>& text);

  BakkesMod::Plugin::PluginSettingsWindow& page_;
  ImGuiContext* context_;
  Texture fontTexture_;                // what the frames' draw commands name as their texture
  ImGuiWindow* pageWindow_ = nullptr;  // known from the first frame on
  ImVec2 origin_{0.0f, 0.0f};
  ImVec2 size_{kWidth, kHeight};
  bool clickOnlyClosedPopup_ = false;
};

}  // namespace host
