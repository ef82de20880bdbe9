#include "WindowScene.h"

#include "Rasterizer.h"
#include "ScaledText.h"
#include "ToastDrawing.h"

namespace host {
namespace {

constexpr ImU32 kBand = IM_COL32(0, 0, 0, 150);
constexpr ImU32 kStatusColour = IM_COL32(255, 214, 102, 255);
constexpr ImU32 kHelpColour = IM_COL32(205, 212, 224, 255);
constexpr float kMargin = 8.0f;

}  // namespace

WindowScene::WindowScene(const FontMetrics& font)
    : font_(font),
      fontTexture_(FontAtlasTexture(font.Atlas())),
      background_({0.0f, 0.0f}, nullptr, {0.0f, 0.0f}),
      texts_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel),
      toasts_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel),
      band_({0.0f, 0.0f}, TextureId(fontTexture_), font.Atlas().TexUvWhitePixel) {}

void WindowScene::Compose(int width, int height, const std::vector<CanvasCall>& calls,
                          std::string_view status, const ImDrawData* settings,
                          const std::vector<pluginsdk::Toast>& toasts) {
  width_ = width;
  height_ = height;
  const ImVec2 size(static_cast<float>(width), static_cast<float>(height));
  background_.Restart(size);
  AddFrameBackground(background_.List(), size);
  texts_.Restart(size);
  AddCanvasTexts(texts_.List(), font_.Font(), calls);
  toasts_.Restart(size);
  AddToasts(toasts_.List(), font_.Font(), toasts, size);

  band_.Restart(size);
  ImDrawList& band = band_.List();
  band.AddRectFilled({0.0f, size.y - kBandHeight}, size, kBand);
  const float line = font_.Font().FontSize;
  const ImVec2 one(1.0f, 1.0f);
  AddScaledText(band, font_.Font(), {kMargin, size.y - kBandHeight + 4.0f}, one, kStatusColour,
                status);
  AddScaledText(band, font_.Font(), {kMargin, size.y - kBandHeight + 6.0f + line}, one, kHelpColour,
                kHelp);
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

void WindowScene::Render(GlRenderer& renderer) {
  renderer.Clear(width_, height_);
  renderer.Render(background_.Data());
  renderer.Render(texts_.Data());
  // The band last: the settings window is as tall as the window and must not hide the keys.
  if (settings_) renderer.Render(*settings_);
  renderer.Render(toasts_.Data());
  renderer.Render(band_.Data());
}

Image WindowScene::Rasterize() {
  Image image(width_, height_);
  RasterizeDrawData(background_.Data(), image);
  RasterizeDrawData(texts_.Data(), image);
  if (settings_) RasterizeDrawData(*settings_, image);
  RasterizeDrawData(toasts_.Data(), image);
  RasterizeDrawData(band_.Data(), image);
  return image;
}

}  // namespace host
