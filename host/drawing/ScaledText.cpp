#include "ScaledText.h"

#include <cmath>

#include "DearImGui.h"

namespace host {
namespace {

bool UsableScale(float scale) {
  return scale > 0.0f && std::isfinite(scale);
}
// The pen is truncated to an integer, so the position must fit one.
bool UsablePosition(float coordinate) {
  return std::fabs(coordinate) < 1.0e9f;
}

}  // namespace

void AddScaledText(ImDrawList& list, const ImFont& font, ImVec2 position, ImVec2 scale,
                   ImU32 colour, std::string_view text) {
  if (!UsableScale(scale.x) || !UsableScale(scale.y) || !UsablePosition(position.x) ||
      !UsablePosition(position.y)) {
    return;
  }
  // The same walk as ImFont::RenderText, but with two scales and one reservation per glyph, so
  // that a long text moves on to a new vertex offset instead of overflowing 16-bit indices.
  const ImVec2 start(std::trunc(position.x), std::trunc(position.y));
  ImVec2 pen = start;
  const char* next = text.data();
  const char* const end = next + text.size();
  while (next < end) {
    unsigned int c = static_cast<unsigned char>(*next);
    if (c < 0x80) {
      ++next;
    } else {
      next += ImTextCharFromUtf8(&c, next, end);
      if (c == 0) break;
    }
    if (c == '\n') {
      pen = ImVec2(start.x, pen.y + font.FontSize * scale.y);
      continue;
    }
    if (c == '\r') continue;
    const ImFontGlyph* glyph = font.FindGlyph(static_cast<ImWchar>(c));
    if (glyph == nullptr) continue;
    if (LeavesInk(*glyph)) {
      list.PrimReserve(6, 4);
      list.PrimRectUV({pen.x + glyph->X0 * scale.x, pen.y + glyph->Y0 * scale.y},
                      {pen.x + glyph->X1 * scale.x, pen.y + glyph->Y1 * scale.y},
                      {glyph->U0, glyph->V0}, {glyph->U1, glyph->V1}, colour);
    }
    pen.x += glyph->AdvanceX * scale.x;
  }
}

}  // namespace host
