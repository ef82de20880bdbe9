#pragma once
#include <cstdint>

#include "imgui.h"

namespace host {

// An RGBA32 texture for the software rasteriser: `pixels` holds width × height × 4 bytes (red,
// green, blue, alpha), rows top to bottom. It only views the pixels; their owner keeps them.
//
// A draw command names its texture by TextureId: the address of a Texture, made with
// `TextureId(texture)`. The Texture and its pixels must outlive every rasterising of draw data
// that names it. A Dear ImGui font atlas gets one with
//   host::Texture fontTexture = host::FontAtlasTexture(atlas);
//   atlas.SetTexID(host::TextureId(fontTexture));
// before the frame is built, so that the commands of text and widgets carry it.
struct Texture {
  int width = 0;
  int height = 0;
  const std::uint8_t* pixels = nullptr;
};

// The TextureId under which draw commands refer to `texture`.
inline ImTextureID TextureId(const Texture& texture) {
  // ImTextureID is a plain void*; the rasteriser only reads through it.
  return const_cast<Texture*>(&texture);
}

// The atlas's pixels as RGBA32 (Dear ImGui makes that copy on first request, building the atlas
// if needed). Valid while the atlas lives and is neither rebuilt nor cleared.
Texture FontAtlasTexture(ImFontAtlas& atlas);

}  // namespace host
