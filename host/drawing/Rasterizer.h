#pragma once
#include "Image.h"
#include "imgui.h"

namespace host {

// Draws Dear ImGui draw data into `image` in software, as a GPU backend would, so that pictures
// need no display. Any draw data will do: a context's frame, or lists built by hand.
//
// - Place: image pixel (0, 0) is at DisplayPos, and one unit is FramebufferScale pixels. Each
//   command is scissored to its ClipRect (in vertex units, so DisplayPos is subtracted too) and
//   to the image.
// - Triangles: the ElemCount / 3 triangles of each command, read from IdxBuffer at IdxOffset,
//   each index counted from VtxOffset (so a context may set
//   ImGuiBackendFlags_RendererHasVtxOffset and pass 64K vertices a list). A pixel is drawn when its
//   centre lies inside a triangle; a centre on an edge belongs only to the triangle on the edge's
//   top or left side, so triangles sharing an edge never both draw a pixel. Either winding is
//   drawn. A triangle with a coordinate that is not finite or an index past the vertex buffer is
//   skipped.
// - Colour: vertex colour and UV are interpolated over the triangle; the colour is multiplied by
//   the texel at UV (bilinear, clamped to the edge, texel centres at half-integers) and blended
//   "source over": colour by source alpha, alpha as sa + da × (1 − sa).
// - Textures: TextureId is null or the address of a host::Texture (see Texture.h). Null, or a
//   Texture without pixels, samples as opaque white.
// - Callbacks: a command's UserCallback is called with its list and command, as backends do;
//   ImDrawCallback_ResetRenderState is skipped, there being no render state to reset.
void RasterizeDrawData(const ImDrawData& drawData, Image& image);

}  // namespace host
