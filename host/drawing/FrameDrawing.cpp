#include "FrameDrawing.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "ScaledText.h"

namespace host {
namespace {

// A LinearColor component (0 to 255) as a byte; out of range values are clamped, NaN is 0.
ImU32 Channel(float component) {
  const float clamped = component > 0.0f ? std::min(component, 255.0f) : 0.0f;
  return static_cast<ImU32>(std::lround(clamped));
}

// One font pixel, but at least one screen pixel, so small texts keep a visible shadow.
float ShadowOffset(float scale) {
  return std::max(1.0f, std::round(scale));
}

class CanvasPainter {
 public:
  CanvasPainter(ImDrawList& list, const ImFont& font) : list_(list), font_(font) {}

  void operator()(const SetColorBytes& call) {
    colour_ = IM_COL32(call.red, call.green, call.blue, call.alpha);
  }
  void operator()(const SetColorLinear& call) {
    colour_ = IM_COL32(Channel(call.color.R), Channel(call.color.G), Channel(call.color.B),
                       Channel(call.color.A));
  }
  void operator()(const SetPositionCall& call) {
    position_ = ImVec2(call.position.X, call.position.Y);
  }
  void operator()(const DrawStringCall& call) {
    const ImVec2 scale(call.xScale, call.yScale);
    if (call.dropShadow) {
      const ImVec2 shadow(position_.x + ShadowOffset(call.xScale),
                          position_.y + ShadowOffset(call.yScale));
      AddScaledText(list_, font_, shadow, scale, colour_ & IM_COL32_A_MASK, call.text);
    }
    AddScaledText(list_, font_, position_, scale, colour_, call.text);
  }
  void operator()(const StringSizeCall&) {}
  void operator()(const CanvasSizeCall&) {}

 private:
  ImDrawList& list_;
  const ImFont& font_;
  ImU32 colour_ = IM_COL32_WHITE;
  ImVec2 position_{0.0f, 0.0f};
};

}  // namespace

ScreenDrawList::ScreenDrawList(ImVec2 size, ImTextureID texture, ImVec2 whitePixel)
    : texture_(texture) {
  shared_.TexUvWhitePixel = whitePixel;
  // Long texts may pass 64K vertices; the renderers honour the vertex offsets this allows.
  shared_.InitialFlags = ImDrawListFlags_AllowVtxOffset;
  TessellateAsDefaultStyle(shared_);
  data_.Valid = true;
  data_.CmdLists = lists_;
  data_.CmdListsCount = 1;
  data_.FramebufferScale = ImVec2(1.0f, 1.0f);
  Restart(size);
}

void ScreenDrawList::Restart(ImVec2 size) {
  shared_.ClipRectFullscreen = ImVec4(0.0f, 0.0f, size.x, size.y);
  ResetForNewFrame(list_);
  list_.PushClipRectFullScreen();
  list_.PushTextureID(texture_);
  data_.DisplaySize = size;
}

ImDrawData& ScreenDrawList::Data() {
  data_.TotalVtxCount = list_.VtxBuffer.Size;
  data_.TotalIdxCount = list_.IdxBuffer.Size;
  return data_;
}

void AddFrameBackground(ImDrawList& list, ImVec2 size) {
  const float horizon = size.y * 0.62f;
  const ImU32 skyTop = IM_COL32(16, 20, 30, 255);
  const ImU32 skyLow = IM_COL32(44, 54, 72, 255);
  const ImU32 pitchFar = IM_COL32(30, 50, 46, 255);
  const ImU32 pitchNear = IM_COL32(14, 26, 24, 255);
  list.AddRectFilledMultiColor({0.0f, 0.0f}, {size.x, horizon}, skyTop, skyTop, skyLow, skyLow);
  list.AddRectFilledMultiColor({0.0f, horizon}, size, pitchFar, pitchFar, pitchNear, pitchNear);
  list.AddRectFilled({0.0f, horizon - 1.0f}, {size.x, horizon + 1.0f}, IM_COL32(120, 140, 160, 90));
}

void AddCanvasTexts(ImDrawList& list, const ImFont& font, const std::vector<CanvasCall>& calls) {
  CanvasPainter painter(list, font);
  for (const CanvasCall& call : calls) std::visit(painter, call);
}

}  // namespace host
