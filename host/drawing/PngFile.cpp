#include "PngFile.h"

#include <cerrno>
#include <climits>
#include <fstream>
#include <system_error>
#include <vector>

#include "stb_image_write.h"

namespace host {
namespace {

void Append(void* context, void* data, int size) {
  auto& bytes = *static_cast<std::vector<unsigned char>*>(context);
  const auto* first = static_cast<const unsigned char*>(data);
  bytes.insert(bytes.end(), first, first + size);
}

// The PNG file's bytes; empty when the encoder fails.
std::vector<unsigned char> Encode(const Image& image) {
  // stb's defaults try all five row filters at its deepest match search: twice the time for
  // files a few per cent smaller. "Sub" turns runs of one colour into zeros.
  stbi_write_force_png_filter = 1;
  stbi_write_png_compression_level = 5;
  std::vector<unsigned char> bytes;
  if (image.Width() <= 0 || image.Height() <= 0 || image.Width() > INT_MAX / 4) return bytes;
  if (stbi_write_png_to_func(&Append, &bytes, image.Width(), image.Height(), 4, image.Data(),
                             image.Width() * 4) == 0) {
    bytes.clear();
  }
  return bytes;
}

// Why a file stream failed: the C library's reason, which the streams leave in errno.
std::error_code LastStreamError() {
  return {errno != 0 ? errno : EIO, std::generic_category()};
}

}  // namespace

std::error_code SavePng(const Image& image, const std::filesystem::path& file) {
  const std::vector<unsigned char> bytes = Encode(image);
  if (bytes.empty()) return std::make_error_code(std::errc::invalid_argument);
  std::error_code error;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
  if (error) return error;
  errno = 0;
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return LastStreamError();
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return {};
  }
  const std::error_code failure = LastStreamError();
  std::filesystem::remove(file, error);
  return failure;
}

}  // namespace host
