// The screen step and toasts in a replay: what the host prints and the frame pictures it writes.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "PluginSession.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "TempFolder.h"
#include "stb_image.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

  // Pixels in the rectangle in the toasts' yellow, which the frame's background never has.
  int Yellowish(int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const unsigned char* p = pixels.get() + (static_cast<std::size_t>(y) * width + x) * 4;
        if (p[0] > 200 && p[1] > 170 && p[2] < 150) ++count;
      }
    }
    return count;
  }
};

Picture Load(const std::filesystem::path& file) {
  Picture picture;
  int channels = 0;
  picture.pixels.reset(
      stbi_load(file.string().c_str(), &picture.width, &picture.height, &channels, 4));
  return picture;
}

TEST(ScreenAndToast, TheToastIsPrintedWithItsStepAndDrawnAtTheTopRightForItsSeconds) {
  testing_support::TempFolder folder;
  const auto shown = folder.Path() / "shown.png";
  const auto gone = folder.Path() / "gone.png";
  const std::string script =
      "0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n3 car 0 0 300\n"
      "4 event jump\n4 event landed\n4 event dodge\n5 event ballground\n"  // a first chain of 1
      "6 event jump\n6 event landed\n6 event dodge\n7 event landed\n"      // passes it at 2
      "7.1 screen 1280 720\n7.2 frame shown.png\n10.6 frame gone.png\n";
  testing_support::PluginSession session;
  const auto steps =
      host::ParseSession(script, "toast.session", host::RegistryCheck(session.Host()));
  std::ostringstream out;
  {
    host::SessionRunner runner(session.Host(), session.Loaded(), out, {.pictures = folder.Path()});
    runner.Run(steps, "toast.session");
  }
  EXPECT_EQ(out.str(),
            "toast: Quillon Plugin: New best chain: 2\n"
            "7.200 Resets: 2 | Height: 0 | Time: 1.00\n"
            "picture: " +
                shown.string() +
                " (1280x720)\n"
                "10.600 Resets: 2 | Height: 0 | Time: 1.00\n"
                "picture: " +
                gone.string() + " (1280x720)\n");

  const Picture during = Load(shown);
  ASSERT_NE(during.pixels, nullptr);
  EXPECT_EQ(during.width, 1280);
  EXPECT_EQ(during.height, 720);
  // The box: 290 by 60, 16 pixels in from the top right corner.
  EXPECT_GT(during.Yellowish(974, 16, 1264, 76), 100) << "edge and title";
  // Left of it and below it, beside the overlay's yellow text at the top left.
  EXPECT_EQ(during.Yellowish(300, 0, 974, 400), 0) << "nothing else of it";
  EXPECT_EQ(during.Yellowish(974, 80, 1280, 400), 0) << "nothing else of it";
  const Picture after = Load(gone);
  ASSERT_NE(after.pixels, nullptr);
  EXPECT_EQ(after.Yellowish(974, 16, 1264, 76), 0) << "gone after 3.5 s";
}

}  // namespace
