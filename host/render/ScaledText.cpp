#include "ScaledText.h"

#include <cfloat>
#include <cmath>

namespace host {
namespace {

// Dear ImGui truncates the text position to an integer, so it must fit one.
bool UsablePosition(float coordinate) {
  return std::fabs(coordinate) < 1.0e9f;
}

}  // namespace

void AddScaledText(ImDrawList& list, const ImFont& font, ImVec2 position, ImVec2 scale,
                   ImU32 colour, std::string_view text) {
  if (text.empty() || !(scale.x > 0.0f && scale.y > 0.0f) || !std::isfinite(scale.x) ||
      !std::isfinite(scale.y) || !UsablePosition(position.x) || !UsablePosition(position.y)) {
    return;
  }
  const float size = font.FontSize * scale.y;
  if (!std::isfinite(size)) return;
  // Dear ImGui scales glyphs evenly: lay the text out at the Y scale, then stretch it sideways
  // about its left edge (where ImFont::RenderText starts, the truncated X).
  const int firstVertex = list.VtxBuffer.Size;
  const ImVec4 noClipping(-FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX);
  font.RenderText(&list, size, position, colour, noClipping, text.data(),
                  text.data() + text.size());
  const float left = std::trunc(position.x);
  const float stretch = scale.x / scale.y;
  for (int i = firstVertex; i < list.VtxBuffer.Size; ++i) {
    ImVec2& vertex = list.VtxBuffer.Data[i].pos;
    vertex.x = left + (vertex.x - left) * stretch;
  }
}

}  // namespace host
