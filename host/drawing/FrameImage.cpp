#include "FrameImage.h"

#include "FrameDrawing.h"
#include "Rasterizer.h"
#include "Texture.h"
#include "ToastDrawing.h"

namespace host {
namespace {

Image DrawBackground(int width, int height) {
  const ImVec2 size(static_cast<float>(width), static_cast<float>(height));
  ScreenDrawList list(size, nullptr, ImVec2(0.0f, 0.0f));
  AddFrameBackground(list.List(), size);
  Image image(width, height);
  RasterizeDrawData(list.Data(), image);
  return image;
}

// Frames of the game's size all have the same background: it is drawn once and copied.
Image Background(int width, int height) {
  static const Image gameScreen = DrawBackground(kFrameWidth, kFrameHeight);
  if (width == kFrameWidth && height == kFrameHeight) return gameScreen;
  return DrawBackground(width, height);
}

}  // namespace

Image RenderFrameImage(const std::vector<CanvasCall>& calls, const FontMetrics& font, int width,
                       int height, const std::vector<pluginsdk::Toast>& toasts) {
  const Texture fontTexture = FontAtlasTexture(font.Atlas());
  const ImVec2 screen(static_cast<float>(width), static_cast<float>(height));
  ScreenDrawList texts(screen, TextureId(fontTexture), font.Atlas().TexUvWhitePixel);
  AddCanvasTexts(texts.List(), font.Font(), calls);
  AddToasts(texts.List(), font.Font(), toasts, screen);
  Image image = Background(width, height);
  RasterizeDrawData(texts.Data(), image);
  return image;
}

}  // namespace host
