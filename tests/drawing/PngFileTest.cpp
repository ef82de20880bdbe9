// PNG files: what is written reads back unchanged, folders are made, failures are reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Image.h"
#include "PngFile.h"
#include "Tally.h"
#include "TempFolder.h"
#include "stb_image.h"

namespace {

using host::Image;
using host::Pixel;
using testing_support::TempFolder;

// An image whose every pixel differs, transparency included.
Image Pattern(int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.At(x, y) = {static_cast<std::uint8_t>(x * 37), static_cast<std::uint8_t>(y * 53),
                        static_cast<std::uint8_t>(x * y), static_cast<std::uint8_t>(255 - x - y)};
    }
  }
  return image;
}

TEST(PngFile, ReadsBackWithTheSamePixels) {
  TempFolder folder;
  const auto file = folder.Path() / "pattern.png";
  const Image image = Pattern(7, 5);
  ASSERT_FALSE(host::SavePng(image, file));

  int width = 0, height = 0, channels = 0;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load(file.string().c_str(), &width, &height, &channels, 4), &stbi_image_free);
  ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 5);
  EXPECT_EQ(channels, 4);
  testing_support::Tally tally;
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      const stbi_uc* p = pixels.get() + (y * 7 + x) * 4;
      tally.ExpectTrue("read back as written", (Pixel{p[0], p[1], p[2], p[3]}) == image.At(x, y),
                       "pixel " + std::to_string(x) + "," + std::to_string(y));
    }
  }
  tally.Report();
}

TEST(PngFile, MakesMissingFolders) {
  TempFolder folder;
  const auto file = folder.Path() / "frames" / "deep" / "one.png";
  ASSERT_FALSE(host::SavePng(Pattern(3, 3), file));
  EXPECT_GT(std::filesystem::file_size(file), 0u);
}

TEST(PngFile, ReplacesAnExistingFile) {
  TempFolder folder;
  const auto file = folder.Path() / "again.png";
  { std::ofstream(file) << std::string(100000, 'x'); }
  ASSERT_FALSE(host::SavePng(Pattern(2, 2), file));
  EXPECT_LT(std::filesystem::file_size(file), 1000u);
}

enum class Obstacle { kParentIsAFile, kTargetIsAFolder };

class UnwritablePng : public ::testing::TestWithParam<Obstacle> {};

TEST_P(UnwritablePng, IsReportedAsAFailure) {
  TempFolder folder;
  std::filesystem::path file;
  if (GetParam() == Obstacle::kParentIsAFile) {
    std::ofstream(folder.Path() / "blocker") << "a file where a folder should be";
    file = folder.Path() / "blocker" / "frame.png";
  } else {
    file = folder.Path() / "taken.png";
    std::filesystem::create_directory(file);
  }
  EXPECT_TRUE(host::SavePng(Pattern(4, 4), file));
  EXPECT_FALSE(std::filesystem::is_regular_file(file));
}

INSTANTIATE_TEST_SUITE_P(PngFile, UnwritablePng,
                         ::testing::Values(Obstacle::kParentIsAFile, Obstacle::kTargetIsAFolder),
                         [](const auto& info) {
                           return info.param == Obstacle::kParentIsAFile ? "ParentIsAFile"
                                                                         : "TargetIsAFolder";
                         });

TEST(PngFile, RefusesAnImageWithoutPixels) {
  TempFolder folder;
  for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
    const auto file = folder.Path() / "empty.png";
    EXPECT_TRUE(host::SavePng(Image(width, height), file)) << width << "x" << height;
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

}  // namespace
