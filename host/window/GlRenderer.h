#pragma once
#include <vector>

#include "Image.h"
#include "Texture.h"
#include "imgui.h"

namespace host {

// Draws Dear ImGui draw data into the current OpenGL context's framebuffer with Dear ImGui's own
// OpenGL 3 backend, and reads the framebuffer back. Draw commands name their textures as they do
// for the software rasteriser (null, or the address of a host::Texture; see Texture.h); each is
// uploaded on first use and sampled as the rasteriser samples it: bilinear, clamped to the edge,
// opaque white when null or without pixels. Those textures must outlive the renderer.
class GlRenderer {
 public:
  // Needs a current OpenGL 3.2 (or later) context, which must outlive the renderer; throws
  // std::runtime_error when the backend cannot start on it.
  GlRenderer();
  ~GlRenderer();
  GlRenderer(const GlRenderer&) = delete;
  GlRenderer& operator=(const GlRenderer&) = delete;

  // Fills the framebuffer with opaque black.
  void Clear(int width, int height);
  // Draws over what is there. The commands' texture IDs are given back as they were.
  void Render(ImDrawData& data);
  // The back buffer, as drawn so far, rows top to bottom, alpha opaque.
  Image ReadBack(int width, int height) const;

 private:
  struct Upload {
    const Texture* texture;
    const std::uint8_t* pixels;
    unsigned int name;  // the OpenGL texture
  };

  unsigned int TextureFor(ImTextureID id);
  unsigned int Create(int width, int height, const std::uint8_t* pixels);

  ImGuiContext* backendContext_;  // holds the backend's state; it never draws a frame
  unsigned int white_ = 0;
  std::vector<Upload> uploads_;
  std::vector<ImTextureID> given_;  // the IDs a draw data came with, while it is drawn
};

}  // namespace host
