#pragma once
#include <string_view>

#include "imgui.h"

namespace host {

// Adds `text` to `list` in `font`, its glyphs stretched by `scale` (X and Y apart) from the
// font's own size, the top-left corner at `position`, laid out as ImFont::CalcTextSizeA measures
// it (UTF-8, newlines, the fallback glyph): so a text measured at the font's size and multiplied
// by the scale is exactly as large as drawn. The list's current texture must be the font's.
// Nothing is added unless both scales are above zero and every coordinate is finite.
void AddScaledText(ImDrawList& list, const ImFont& font, ImVec2 position, ImVec2 scale,
                   ImU32 colour, std::string_view text);

}  // namespace host
