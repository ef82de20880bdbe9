#include "ToastDrawing.h"

#include "ScaledText.h"

namespace host {
namespace {

constexpr float kScreenMargin = 16.0f;
constexpr float kGap = 8.0f;
constexpr float kPadding = 10.0f;
constexpr ImU32 kBox = IM_COL32(24, 28, 38, 230);
constexpr ImU32 kEdge = IM_COL32(255, 214, 102, 255);
constexpr ImU32 kTitle = IM_COL32(255, 214, 102, 255);
constexpr ImU32 kText = IM_COL32(230, 234, 242, 255);

}  // namespace

void AddToasts(ImDrawList& list, const ImFont& font, const std::vector<pluginsdk::Toast>& toasts,
               ImVec2 screen) {
  const ImVec2 one(1.0f, 1.0f);
  float top = kScreenMargin;
  for (const pluginsdk::Toast& toast : toasts) {
    const ImVec2 min(screen.x - kScreenMargin - toast.width, top);
    const ImVec2 max(min.x + toast.width, min.y + toast.height);
    list.AddRectFilled(min, max, kBox);
    list.AddRect(min, max, kEdge);
    // Square corners: a draw list made without a context has no table for arcs. A text longer
    // than the box is cut at its edge.
    list.PushClipRect(min, max, true);
    const ImVec2 title(min.x + kPadding, min.y + kPadding);
    AddScaledText(list, font, title, one, kTitle, toast.title);
    AddScaledText(list, font, {title.x, title.y + font.FontSize + 4.0f}, one, kText, toast.text);
    list.PopClipRect();
    top = max.y + kGap;
  }
}

}  // namespace host
