#include "FrameImage.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "Rasterizer.h"
#include "ScaledText.h"
#include "Texture.h"
#include "imgui_internal.h"

namespace host {
namespace {

// A dusky sky over a dark pitch, with a faint horizon: enough to read as a game screen.
void AddBackground(ImDrawList& list) {
  constexpr float kWidth = kFrameWidth;
  constexpr float kHeight = kFrameHeight;
  constexpr float kHorizon = kHeight * 0.62f;
  const ImU32 skyTop = IM_COL32(16, 20, 30, 255);
  const ImU32 skyLow = IM_COL32(44, 54, 72, 255);
  const ImU32 pitchFar = IM_COL32(30, 50, 46, 255);
  const ImU32 pitchNear = IM_COL32(14, 26, 24, 255);
  list.AddRectFilledMultiColor({0.0f, 0.0f}, {kWidth, kHorizon}, skyTop, skyTop, skyLow, skyLow);
  list.AddRectFilledMultiColor({0.0f, kHorizon}, {kWidth, kHeight}, pitchFar, pitchFar, pitchNear,
                               pitchNear);
  list.AddRectFilled({0.0f, kHorizon - 1.0f}, {kWidth, kHorizon + 1.0f},
                     IM_COL32(120, 140, 160, 90));
}

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

 private:
  ImDrawList& list_;
  const ImFont& font_;
  ImU32 colour_ = IM_COL32_WHITE;
  ImVec2 position_{0.0f, 0.0f};
};

// A draw list over the frame, made without a Dear ImGui context: it needs only the data a
// context would share with its lists.
class FrameDrawList {
 public:
  FrameDrawList(ImTextureID texture, ImVec2 whitePixel) {
    shared_.TexUvWhitePixel = whitePixel;
    shared_.ClipRectFullscreen = ImVec4(0.0f, 0.0f, kFrameWidth, kFrameHeight);
    // Long texts may pass 64K vertices; the rasteriser honours the vertex offsets this allows.
    shared_.InitialFlags = ImDrawListFlags_AllowVtxOffset;
    list_._ResetForNewFrame();
    list_.PushClipRectFullScreen();
    list_.PushTextureID(texture);
  }
  FrameDrawList(const FrameDrawList&) = delete;
  FrameDrawList& operator=(const FrameDrawList&) = delete;

  ImDrawList& List() { return list_; }

  void DrawOnto(Image& image) {
    ImDrawList* lists[] = {&list_};
    ImDrawData data;
    data.Valid = true;
    data.CmdLists = lists;
    data.CmdListsCount = 1;
    data.TotalVtxCount = list_.VtxBuffer.Size;
    data.TotalIdxCount = list_.IdxBuffer.Size;
    data.DisplaySize = ImVec2(kFrameWidth, kFrameHeight);
    data.FramebufferScale = ImVec2(1.0f, 1.0f);
    RasterizeDrawData(data, image);
  }

 private:
  ImDrawListSharedData shared_;
  ImDrawList list_{&shared_};
};

// Every frame has the same background: it is drawn once (untextured) and copied.
const Image& Background() {
  static const Image background = [] {
    FrameDrawList list(nullptr, ImVec2(0.0f, 0.0f));
    AddBackground(list.List());
    Image image(kFrameWidth, kFrameHeight);
    list.DrawOnto(image);
    return image;
  }();
  return background;
}

}  // namespace

Image RenderFrameImage(const std::vector<CanvasCall>& calls, const FontMetrics& font) {
  const Texture fontTexture = FontAtlasTexture(font.Atlas());
  FrameDrawList texts(TextureId(fontTexture), font.Atlas().TexUvWhitePixel);
  CanvasPainter painter(texts.List(), font.Font());
  for (const CanvasCall& call : calls) std::visit(painter, call);
  Image image = Background();
  texts.DrawOnto(image);
  return image;
}

}  // namespace host
