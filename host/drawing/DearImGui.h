#pragma once
// Dear ImGui as the host uses it, inside included: Debian's release 1.86, or, in the build beside
// the real SDK, the SDK's 1.75, whose context a plugin built against that SDK can draw on. What
// the host reads that the two releases keep in different places is read here, once.
#include "imgui.h"
#include "imgui_internal.h"

namespace host {

// What the context's latest frame drew; valid only once a frame was rendered.
inline const ImDrawData& LatestDrawData(const ImGuiContext& context) {
#if IMGUI_VERSION_NUM >= 18000
  return context.Viewports[0]->DrawDataP;
#else
  return context.DrawData;
#endif
}

// A rectangle a window keeps relative to itself (where its navigation found an item), on screen.
inline ImRect OnScreen(ImGuiWindow& window, const ImRect& relative) {
#if IMGUI_VERSION_NUM >= 18000
  return ImGui::WindowRectRelToAbs(&window, relative);
#else
  return {relative.Min + window.Pos, relative.Max + window.Pos};
#endif
}

// Circles and rounded corners drawn on lists that share these data get as many segments as
// Dear ImGui's default style gives them.
inline void TessellateAsDefaultStyle(ImDrawListSharedData& shared) {
#if IMGUI_VERSION_NUM >= 18000
  shared.SetCircleTessellationMaxError(ImGuiStyle().CircleTessellationMaxError);
#else
  shared.SetCircleSegmentMaxError(ImGuiStyle().CircleSegmentMaxError);
#endif
}

// Empties a list for a new frame, keeping its storage.
inline void ResetForNewFrame(ImDrawList& list) {
#if IMGUI_VERSION_NUM >= 18000
  list._ResetForNewFrame();
#else
  list.Clear();
#endif
}

// Whether the glyph leaves ink (a space does not): what 1.86 keeps as ImFontGlyph::Visible.
inline bool LeavesInk(const ImFontGlyph& glyph) {
  return glyph.X0 != glyph.X1 && glyph.Y0 != glyph.Y1;
}

}  // namespace host
