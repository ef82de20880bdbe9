#include "Texture.h"

namespace host {

Texture FontAtlasTexture(ImFontAtlas& atlas) {
  unsigned char* pixels = nullptr;
  Texture texture;
  atlas.GetTexDataAsRGBA32(&pixels, &texture.width, &texture.height);
  texture.pixels = pixels;
  return texture;
}

}  // namespace host
