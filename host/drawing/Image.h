#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace host {

// One pixel: red, green, blue and alpha, 8 bits each, in that order in memory.
struct Pixel {
  std::uint8_t r, g, b, a;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};
static_assert(sizeof(Pixel) == 4, "pixels are stored as packed RGBA8");

// An RGBA8 picture: rows top to bottom, pixels left to right, no padding.
class Image {
 public:
  // Throws std::invalid_argument for a negative size.
  Image(int width, int height, Pixel fill = {0, 0, 0, 255});

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixel in column x, row y; both must lie inside the image.
  Pixel& At(int x, int y) { return pixels_[Index(x, y)]; }
  const Pixel& At(int x, int y) const { return pixels_[Index(x, y)]; }
  // Width × Height pixels, row by row.
  const Pixel* Data() const { return pixels_.data(); }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<Pixel> pixels_;
};

}  // namespace host
