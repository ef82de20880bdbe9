#pragma once
#include <filesystem>
#include <system_error>

#include "Image.h"

namespace host {

// Writes `image` as an RGBA PNG file, creating missing parent folders. Returns why the file
// could not be written in full (a partly written file is removed), or no error. An image without
// pixels cannot be a PNG and is refused as an invalid argument.
[[nodiscard]] std::error_code SavePng(const Image& image, const std::filesystem::path& file);

}  // namespace host
