#include "WindowScene.h"

#include <algorithm>
#include <cfloat>

#include "Rasterizer.h"
#include "ScaledText.h"
#include "ToastDrawing.h"

namespace host {
namespace {

constexpr ImU32 kBand = IM_COL32(0, 0, 0, 150);
constexpr ImU32 kStatusColour = IM_COL32(255, 214, 102, 255);
constexpr ImU32 kHelpColour = IM_COL32(205, 212, 224, 255);
constexpr float kMargin = 8.0f;
// Above the first line of the band, between its lines and below the last.
constexpr float kBandTop = 4.0f;
constexpr float kLineGap = 2.0f;
constexpr float kBandBottom = 8.0f;
constexpr std::string_view kKeyGap = "  ";

float TextWidth(const ImFont& font, std::string_view text) {
  return font.CalcTextSizeA(font.FontSize, FLT_MAX, 0.0f, text.data(), text.data() + text.size()).x;
}

}  // namespace

WindowScene::WindowScene(const FontMetrics& font)
    : font_(font),
      fontTexture_(FontAtlasTexture(font.Atlas())),
      background_({0.0f, 0.0f}, nullptr, {0.0f, 0.0f}),
      play_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel),
      texts_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel),
      toasts_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel),
      band_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel) {}

void WindowScene::Compose(int width, int height, const PlayState& play,
                          const std::vector<CanvasCall>& calls, std::string_view status,
                          const ImDrawData* settings, const std::vector<pluginsdk::Toast>& toasts) {
  width_ = width;
  height_ = height;
  const ImVec2 size(static_cast<float>(width), static_cast<float>(height));
  background_.Restart(size);
  AddFrameBackground(background_.List(), size);
  play_.Restart(size);
  AddPlayView(play_.List(), font_.Font(), play);
  texts_.Restart(size);
  AddCanvasTexts(texts_.List(), font_.Font(), calls);
  toasts_.Restart(size);
  AddToasts(toasts_.List(), font_.Font(), toasts, size);

  band_.Restart(size);
  ImDrawList& band = band_.List();
  const float top = size.y - BandHeight(size.x);
  band.AddRectFilled({0.0f, top}, size, kBand);
  const float step = font_.Font().FontSize + kLineGap;
  const ImVec2 one(1.0f, 1.0f);
  float y = top + kBandTop;
  AddScaledText(band, font_.Font(), {kMargin, y}, one, kStatusColour, status);
  for (const std::string_view line : HelpLines(size.x)) {
    y += step;
    AddScaledText(band, font_.Font(), {kMargin, y}, one, kHelpColour, line);
  }
  settings_.reset();
  if (settings != nullptr) {
    // Its context may last have been given another size; it is drawn on this screen, one unit
    // a pixel.
    settings_ = *settings;
    settings_->DisplayPos = ImVec2(0.0f, 0.0f);
    settings_->DisplaySize = size;
    settings_->FramebufferScale = ImVec2(1.0f, 1.0f);
  }
}

float WindowScene::BandHeight(float width) const {
  const auto lines = static_cast<float>(1 + HelpLines(width).size());
  return kBandTop + lines * font_.Font().FontSize + (lines - 1.0f) * kLineGap + kBandBottom;
}

std::vector<std::string_view> WindowScene::HelpLines(float width) const {
  const float room = width - 2.0f * kMargin;
  std::vector<std::string_view> lines;
  std::string_view rest = kHelp;
  while (!rest.empty()) {
    // As many whole keys as fit, and at least one.
    std::size_t end = std::min(rest.find(kKeyGap), rest.size());
    while (end < rest.size()) {
      const std::size_t next = std::min(rest.find(kKeyGap, end + kKeyGap.size()), rest.size());
      if (TextWidth(font_.Font(), rest.substr(0, next)) > room) break;
      end = next;
    }
    lines.push_back(rest.substr(0, end));
    rest = end == rest.size() ? std::string_view{} : rest.substr(end + kKeyGap.size());
  }
  return lines;
}

void WindowScene::Render(GlRenderer& renderer) {
  renderer.Clear(width_, height_);
  renderer.Render(background_.Data());
  renderer.Render(play_.Data());
  renderer.Render(texts_.Data());
  // The band last: the settings window is as tall as the window and must not hide the keys.
  if (settings_) renderer.Render(*settings_);
  renderer.Render(toasts_.Data());
  renderer.Render(band_.Data());
}

Image WindowScene::Rasterize() {
  Image image(width_, height_);
  RasterizeDrawData(background_.Data(), image);
  RasterizeDrawData(play_.Data(), image);
  RasterizeDrawData(texts_.Data(), image);
  if (settings_) RasterizeDrawData(*settings_, image);
  RasterizeDrawData(toasts_.Data(), image);
  RasterizeDrawData(band_.Data(), image);
  return image;
}

}  // namespace host
