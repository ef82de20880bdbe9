#pragma once
#include <filesystem>

#include "Image.h"

namespace host {

// Writes `image` as an RGBA PNG file, creating missing parent folders. Returns false when the
// file cannot be written in full (a partly written file is removed). An image without pixels
// cannot be a PNG and is refused too.
[[nodiscard]] bool WritePng(const Image& image, const std::filesystem::path& file);

}  // namespace host
