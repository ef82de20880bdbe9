#pragma once
#include <string_view>

#include "imgui.h"

namespace host {

// Adds `text` to `list` in `font`, its glyphs stretched by `scale` (X and Y apart) from the
// font's own size, the pen starting at `position` truncated to whole pixels, as Dear ImGui
// places text. Glyphs are laid out as ImFont::CalcTextSizeA measures them (UTF-8, newlines,
// the fallback glyph), so a text measured at the font's size and multiplied by the scale is
// exactly as large as drawn. The list's current texture must be the font's atlas; texts past
// 64K vertices need ImDrawListFlags_AllowVtxOffset on the list. Nothing is added unless both
// scales are above zero and finite and the position is finite and within a billion pixels.
void AddScaledText(ImDrawList& list, const ImFont& font, ImVec2 position, ImVec2 scale,
                   ImU32 colour, std::string_view text);

}  // namespace host
