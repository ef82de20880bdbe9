#include "Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>

#include "Texture.h"

namespace host {
namespace {

// Colour channels from 0 to 1.
struct Colour {
  float r, g, b, a;
};

// A triangle corner in image pixels, with what is interpolated over the triangle.
struct Corner {
  double x, y;
  double u, v;
  Colour colour;
};

// Pixels [x0, x1) × [y0, y1).
struct PixelBox {
  int x0, y0, x1, y1;
};

// Keeps `value` in [low, high]; NaN becomes `low`, so the result is always safe to convert.
template <typename T>
T Clamp(T value, T low, T high) {
  return value > low ? (value < high ? value : high) : low;
}

int ClampToInt(double value, int low, int high) {
  return static_cast<int>(Clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

Colour Unpack(ImU32 packed) {
  constexpr float kScale = 1.0f / 255.0f;
  return {static_cast<float>((packed >> IM_COL32_R_SHIFT) & 0xFF) * kScale,
          static_cast<float>((packed >> IM_COL32_G_SHIFT) & 0xFF) * kScale,
          static_cast<float>((packed >> IM_COL32_B_SHIFT) & 0xFF) * kScale,
          static_cast<float>((packed >> IM_COL32_A_SHIFT) & 0xFF) * kScale};
}

std::uint8_t ToByte(float channel) {
  return static_cast<std::uint8_t>(Clamp(channel, 0.0f, 1.0f) * 255.0f + 0.5f);
}

Colour Texel(const Texture& texture, int x, int y) {
  const std::uint8_t* texel =
      texture.pixels + (static_cast<std::size_t>(y) * static_cast<std::size_t>(texture.width) +
                        static_cast<std::size_t>(x)) *
                           4;
  constexpr float kScale = 1.0f / 255.0f;
  return {texel[0] * kScale, texel[1] * kScale, texel[2] * kScale, texel[3] * kScale};
}

Colour Mix(const Colour& a, const Colour& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

// Bilinear sample with clamp to the edge, as GL_LINEAR with GL_CLAMP_TO_EDGE.
Colour Sample(const Texture* texture, double u, double v) {
  if (texture == nullptr || texture->pixels == nullptr || texture->width <= 0 ||
      texture->height <= 0) {
    return {1.0f, 1.0f, 1.0f, 1.0f};
  }
  const double fx = Clamp(u * texture->width - 0.5, 0.0, texture->width - 1.0);
  const double fy = Clamp(v * texture->height - 0.5, 0.0, texture->height - 1.0);
  const int x0 = static_cast<int>(fx);
  const int y0 = static_cast<int>(fy);
  const int x1 = std::min(x0 + 1, texture->width - 1);
  const int y1 = std::min(y0 + 1, texture->height - 1);
  const auto tx = static_cast<float>(fx - x0);
  const auto ty = static_cast<float>(fy - y0);
  return Mix(Mix(Texel(*texture, x0, y0), Texel(*texture, x1, y0), tx),
             Mix(Texel(*texture, x0, y1), Texel(*texture, x1, y1), tx), ty);
}

void BlendOver(Pixel& target, const Colour& source) {
  const float alpha = Clamp(source.a, 0.0f, 1.0f);
  if (alpha <= 0.0f) return;
  const float keep = 1.0f - alpha;
  constexpr float kScale = 1.0f / 255.0f;
  target.r = ToByte(Clamp(source.r, 0.0f, 1.0f) * alpha + target.r * kScale * keep);
  target.g = ToByte(Clamp(source.g, 0.0f, 1.0f) * alpha + target.g * kScale * keep);
  target.b = ToByte(Clamp(source.b, 0.0f, 1.0f) * alpha + target.b * kScale * keep);
  target.a = ToByte(alpha + target.a * kScale * keep);
}

// Signed distance-like value of a point from the directed edge `from` → `to`: positive on its
// left in image coordinates (y down) when the triangle is wound so that its area is positive.
class EdgeFunction {
 public:
  EdgeFunction(const Corner& from, const Corner& to) {
    // Anchored at the lesser end point, so the two triangles sharing an edge compute exactly
    // opposite values and the fill rule can split the pixel centres on it between them.
    const bool reversed = std::tie(to.x, to.y) < std::tie(from.x, from.y);
    const Corner& anchor = reversed ? to : from;
    const Corner& other = reversed ? from : to;
    anchorX_ = anchor.x;
    anchorY_ = anchor.y;
    deltaX_ = other.x - anchor.x;
    deltaY_ = other.y - anchor.y;
    sign_ = reversed ? -1.0 : 1.0;
    // The inward normal is (-dy, dx): the edge is a left edge when it points right, a top edge
    // when it is horizontal and points down.
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    ownsCentresOnIt_ = dy < 0.0 || (dy == 0.0 && dx > 0.0);
  }

  double operator()(double x, double y) const {
    return sign_ * (deltaX_ * (y - anchorY_) - deltaY_ * (x - anchorX_));
  }
  bool Covers(double value) const { return value > 0.0 || (value == 0.0 && ownsCentresOnIt_); }

 private:
  double anchorX_, anchorY_, deltaX_, deltaY_, sign_;
  bool ownsCentresOnIt_;
};

void FillTriangle(Corner c0, Corner c1, Corner c2, const PixelBox& clip, const Texture* texture,
                  Image& image) {
  if (EdgeFunction(c0, c1)(c2.x, c2.y) < 0.0) std::swap(c1, c2);
  const EdgeFunction edge0(c1, c2);
  const EdgeFunction edge1(c2, c0);
  const EdgeFunction edge2(c0, c1);
  const double area = edge2(c2.x, c2.y);
  if (!(area > 0.0) || !std::isfinite(area)) return;

  // Pixels whose centres (i + 0.5) can lie in the triangle.
  const double minX = std::min({c0.x, c1.x, c2.x});
  const double maxX = std::max({c0.x, c1.x, c2.x});
  const double minY = std::min({c0.y, c1.y, c2.y});
  const double maxY = std::max({c0.y, c1.y, c2.y});
  const int x0 = ClampToInt(std::ceil(minX - 0.5), clip.x0, clip.x1);
  const int x1 = ClampToInt(std::floor(maxX - 0.5) + 1.0, clip.x0, clip.x1);
  const int y0 = ClampToInt(std::ceil(minY - 0.5), clip.y0, clip.y1);
  const int y1 = ClampToInt(std::floor(maxY - 0.5) + 1.0, clip.y0, clip.y1);

  // Shapes without text map every corner to one texel (the atlas's white pixel): sample it once.
  const bool oneTexel = c0.u == c1.u && c0.u == c2.u && c0.v == c1.v && c0.v == c2.v;
  const Colour constantTexel = Sample(texture, c0.u, c0.v);
  const double inverseArea = 1.0 / area;
  for (int y = y0; y < y1; ++y) {
    const double py = y + 0.5;
    for (int x = x0; x < x1; ++x) {
      const double px = x + 0.5;
      const double e0 = edge0(px, py);
      const double e1 = edge1(px, py);
      const double e2 = edge2(px, py);
      if (!edge0.Covers(e0) || !edge1.Covers(e1) || !edge2.Covers(e2)) continue;
      const double w0 = e0 * inverseArea;
      const double w1 = e1 * inverseArea;
      const double w2 = e2 * inverseArea;
      const auto f0 = static_cast<float>(w0);
      const auto f1 = static_cast<float>(w1);
      const auto f2 = static_cast<float>(w2);
      const Colour vertex{c0.colour.r * f0 + c1.colour.r * f1 + c2.colour.r * f2,
                          c0.colour.g * f0 + c1.colour.g * f1 + c2.colour.g * f2,
                          c0.colour.b * f0 + c1.colour.b * f1 + c2.colour.b * f2,
                          c0.colour.a * f0 + c1.colour.a * f1 + c2.colour.a * f2};
      const Colour texel = oneTexel ? constantTexel
                                    : Sample(texture, c0.u * w0 + c1.u * w1 + c2.u * w2,
                                             c0.v * w0 + c1.v * w1 + c2.v * w2);
      BlendOver(image.At(x, y),
                {vertex.r * texel.r, vertex.g * texel.g, vertex.b * texel.b, vertex.a * texel.a});
    }
  }
}

// Pixels whose centres lie in [low, high) on an axis of `size` pixels.
std::pair<int, int> CentresWithin(double low, double high, int size) {
  return {ClampToInt(std::ceil(low - 0.5), 0, size), ClampToInt(std::ceil(high - 0.5), 0, size)};
}

class ListRasterizer {
 public:
  ListRasterizer(const ImDrawData& data, Image& image)
      : originX_(data.DisplayPos.x),
        originY_(data.DisplayPos.y),
        scaleX_(data.FramebufferScale.x),
        scaleY_(data.FramebufferScale.y),
        image_(image) {}

  void Draw(const ImDrawList& list) const {
    for (const ImDrawCmd& command : list.CmdBuffer) {
      if (command.UserCallback != nullptr) {
        if (command.UserCallback != ImDrawCallback_ResetRenderState) {
          command.UserCallback(&list, &command);
        }
        continue;
      }
      DrawCommand(list, command);
    }
  }

 private:
  void DrawCommand(const ImDrawList& list, const ImDrawCmd& command) const {
    const auto [clipX0, clipX1] =
        CentresWithin(ToPixelX(command.ClipRect.x), ToPixelX(command.ClipRect.z), image_.Width());
    const auto [clipY0, clipY1] =
        CentresWithin(ToPixelY(command.ClipRect.y), ToPixelY(command.ClipRect.w), image_.Height());
    if (clipX0 >= clipX1 || clipY0 >= clipY1) return;
    const PixelBox clip{clipX0, clipY0, clipX1, clipY1};
    const auto* texture = static_cast<const Texture*>(command.TextureId);

    const auto indexCount = static_cast<std::size_t>(list.IdxBuffer.Size);
    const std::size_t first = command.IdxOffset;
    if (first > indexCount) return;
    const std::size_t triangles = std::min<std::size_t>(command.ElemCount, indexCount - first) / 3;
    for (std::size_t t = 0; t < triangles; ++t) {
      const ImDrawIdx* indices = list.IdxBuffer.Data + first + t * 3;
      Corner corners[3];
      bool usable = true;
      for (int k = 0; k < 3 && usable; ++k) {
        usable = MakeCorner(list, std::size_t{command.VtxOffset} + indices[k], corners[k]);
      }
      if (usable) FillTriangle(corners[0], corners[1], corners[2], clip, texture, image_);
    }
  }

  bool MakeCorner(const ImDrawList& list, std::size_t index, Corner& corner) const {
    if (index >= static_cast<std::size_t>(list.VtxBuffer.Size)) return false;
    const ImDrawVert& vertex = list.VtxBuffer.Data[index];
    corner = {ToPixelX(vertex.pos.x), ToPixelY(vertex.pos.y), vertex.uv.x, vertex.uv.y,
              Unpack(vertex.col)};
    return std::isfinite(corner.x) && std::isfinite(corner.y);
  }

  double ToPixelX(float x) const { return (double{x} - originX_) * scaleX_; }
  double ToPixelY(float y) const { return (double{y} - originY_) * scaleY_; }

  double originX_, originY_, scaleX_, scaleY_;
  Image& image_;
};

}  // namespace

void RasterizeDrawData(const ImDrawData& drawData, Image& image) {
  if (drawData.CmdLists == nullptr) return;
  const ListRasterizer rasterizer(drawData, image);
  for (int n = 0; n < drawData.CmdListsCount; ++n) {
    if (drawData.CmdLists[n] != nullptr) rasterizer.Draw(*drawData.CmdLists[n]);
  }
}

}  // namespace host
