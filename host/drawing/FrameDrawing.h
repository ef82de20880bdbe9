#pragma once
#include <vector>

#include "DearImGui.h"  // ImDrawListSharedData, which a list needs without a context
#include "RecordingCanvas.h"

namespace host {

// A Dear ImGui draw list made without a context, covering a screen of the given size, and handed
// to a renderer (the software rasteriser or a GPU backend) as draw data.
class ScreenDrawList {
 public:
  // Commands name `texture` until told otherwise; `whitePixel` is where in it untextured shapes
  // take their colour from.
  ScreenDrawList(ImVec2 size, ImTextureID texture, ImVec2 whitePixel);
  ScreenDrawList(const ScreenDrawList&) = delete;
  ScreenDrawList& operator=(const ScreenDrawList&) = delete;

  // Empties the list for a new frame on a screen of that size, keeping its storage.
  void Restart(ImVec2 size);

  ImDrawList& List() { return list_; }
  // The list as draw data for its screen; valid while the list lives, refreshed by each call.
  ImDrawData& Data();

 private:
  ImDrawListSharedData shared_;
  ImDrawList list_{&shared_};
  ImDrawList* lists_[1] = {&list_};
  ImTextureID texture_;
  ImDrawData data_;
};

// The game-like background of frames: a dusky sky over a dark pitch, with a faint horizon.
void AddFrameBackground(ImDrawList& list, ImVec2 size);

// The texts of a frame's canvas calls, as RenderFrameImage (FrameImage.h) describes them. The
// list's texture must be the font's atlas.
void AddCanvasTexts(ImDrawList& list, const ImFont& font, const std::vector<CanvasCall>& calls);

}  // namespace host
