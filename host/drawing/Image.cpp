#include "Image.h"

#include <stdexcept>
#include <string>

namespace host {

namespace {

int CheckedSize(int size, const char* what) {
  if (size < 0) throw std::invalid_argument(std::string("negative image ") + what);
  return size;
}

}  // namespace

Image::Image(int width, int height, Pixel fill)
    : width_(CheckedSize(width, "width")),
      height_(CheckedSize(height, "height")),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

}  // namespace host
