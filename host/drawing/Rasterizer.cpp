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
  return std::min(std::max(low, value), high);
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
  const float weight = 255.0f * alpha;
  // Each result lies between the source and the target value, so it fits a byte.
  const auto mix = [&](float channel, std::uint8_t below) {
    return static_cast<std::uint8_t>(Clamp(channel, 0.0f, 1.0f) * weight + below * keep + 0.5f);
  };
  target.r = mix(source.r, target.r);
  target.g = mix(source.g, target.g);
  target.b = mix(source.b, target.b);
  target.a = mix(1.0f, target.a);
}

// A value proportional to a point's distance from the line of the directed edge `from` → `to`,
// positive on the inside of a triangle whose corners are wound so that its area is positive.
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
    // The inside lies along (-dy, dx) with y down: a left edge points up, a top edge points
    // right.
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    ownsCentresOnIt_ = dy < 0.0 || (dy == 0.0 && dx > 0.0);
  }

  double operator()(double x, double y) const {
    return sign_ * (deltaX_ * (y - anchorY_) - deltaY_ * (x - anchorX_));
  }
  // How much the value grows from one pixel to the next along a row.
  double StepX() const { return -sign_ * deltaY_; }
  bool Covers(double value) const { return value > 0.0 || (value == 0.0 && ownsCentresOnIt_); }

 private:
  double anchorX_, anchorY_, deltaX_, deltaY_, sign_;
  bool ownsCentresOnIt_;
};

// What is interpolated over a triangle.
struct Varyings {
  double r, g, b, a, u, v;

  void Add(const Varyings& step) {
    r += step.r;
    g += step.g;
    b += step.b;
    a += step.a;
    u += step.u;
    v += step.v;
  }
};

class Triangle {
 public:
  // Corners in either winding. Corners in one line cover nothing.
  Triangle(const Corner& c0, const Corner& c1, const Corner& c2)
      : corners_{c0, c1, c2},
        edges_{EdgeFunction(c1, c2), EdgeFunction(c2, c0), EdgeFunction(c0, c1)} {
    if (edges_[2](c2.x, c2.y) < 0.0) {
      std::swap(corners_[1], corners_[2]);
      edges_[0] = EdgeFunction(corners_[1], corners_[2]);
      edges_[1] = EdgeFunction(corners_[2], corners_[0]);
      edges_[2] = EdgeFunction(corners_[0], corners_[1]);
    }
    const double area = edges_[2](corners_[2].x, corners_[2].y);
    if (area > 0.0 && std::isfinite(area)) inverseArea_ = 1.0 / area;
  }

  void Fill(const PixelBox& clip, const Texture* texture, Image& image) const {
    if (inverseArea_ == 0.0) return;
    const auto [minX, maxX] = std::minmax({corners_[0].x, corners_[1].x, corners_[2].x});
    const auto [minY, maxY] = std::minmax({corners_[0].y, corners_[1].y, corners_[2].y});
    const int x0 = ClampToInt(std::ceil(minX - 0.5), clip.x0, clip.x1);
    const int x1 = ClampToInt(std::floor(maxX - 0.5) + 1.0, clip.x0, clip.x1);
    const int y0 = ClampToInt(std::ceil(minY - 0.5), clip.y0, clip.y1);
    const int y1 = ClampToInt(std::floor(maxY - 0.5) + 1.0, clip.y0, clip.y1);

    // Shapes other than text map every corner to one texel (the atlas's white pixel).
    const bool oneTexel = corners_[0].u == corners_[1].u && corners_[0].u == corners_[2].u &&
                          corners_[0].v == corners_[1].v && corners_[0].v == corners_[2].v;
    const Colour constantTexel = Sample(texture, corners_[0].u, corners_[0].v);
    const Varyings step = Mix(edges_[0].StepX(), edges_[1].StepX(), edges_[2].StepX());
    for (int y = y0; y < y1; ++y) {
      const double py = y + 0.5;
      const auto [first, end] = CoveredRun(py, x0, x1);
      if (first >= end) continue;
      const double px = first + 0.5;
      Varyings at = Mix(edges_[0](px, py), edges_[1](px, py), edges_[2](px, py));
      for (int x = first; x < end; ++x, at.Add(step)) {
        const Colour texel = oneTexel ? constantTexel : Sample(texture, at.u, at.v);
        BlendOver(image.At(x, y),
                  {static_cast<float>(at.r) * texel.r, static_cast<float>(at.g) * texel.g,
                   static_cast<float>(at.b) * texel.b, static_cast<float>(at.a) * texel.a});
      }
    }
  }

 private:
  bool Covers(double px, double py) const {
    return edges_[0].Covers(edges_[0](px, py)) && edges_[1].Covers(edges_[1](px, py)) &&
           edges_[2].Covers(edges_[2](px, py));
  }

  // The pixels of row `py` within [x0, x1) whose centres the triangle covers. They form one run:
  // the triangle is convex and each edge value is monotonic along a row. The run's ends are
  // estimated where the edge lines cross the row, then settled by the exact test, in both
  // directions, in case rounding put the estimate a pixel off.
  std::pair<int, int> CoveredRun(double py, int x0, int x1) const {
    double low = x0;
    double high = x1;
    for (const EdgeFunction& edge : edges_) {
      const double value = edge(x0 + 0.5, py);
      const double step = edge.StepX();
      if (step == 0.0) {
        if (!edge.Covers(value)) return {x0, x0};
        continue;
      }
      const double crossing = x0 - value / step;
      if (step > 0.0) {
        low = std::max(low, std::ceil(crossing));
      } else {
        high = std::min(high, std::floor(crossing) + 1.0);
      }
    }
    int first = ClampToInt(low, x0, x1);
    int end = ClampToInt(high, x0, x1);
    while (first < end && !Covers(first + 0.5, py)) ++first;
    while (end > first && !Covers(end - 0.5, py)) --end;
    while (first > x0 && Covers(first - 0.5, py)) --first;
    while (end < x1 && Covers(end + 0.5, py)) ++end;
    return {first, end};
  }

  // The corners' values weighted by edge values (the weights are edge value × 1 / area).
  Varyings Mix(double e0, double e1, double e2) const {
    const double w[3] = {e0 * inverseArea_, e1 * inverseArea_, e2 * inverseArea_};
    Varyings mixed{0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (int k = 0; k < 3; ++k) {
      mixed.r += w[k] * corners_[k].colour.r;
      mixed.g += w[k] * corners_[k].colour.g;
      mixed.b += w[k] * corners_[k].colour.b;
      mixed.a += w[k] * corners_[k].colour.a;
      mixed.u += w[k] * corners_[k].u;
      mixed.v += w[k] * corners_[k].v;
    }
    return mixed;
  }

  Corner corners_[3];
  EdgeFunction edges_[3];
  double inverseArea_ = 0.0;
};

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
      if (usable) Triangle(corners[0], corners[1], corners[2]).Fill(clip, texture, image_);
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
