// Frame pictures: the canvas calls of a frame drawn as a player would see them, and the
// session step that writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "FrameImage.h"
#include "PluginSession.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "TempFolder.h"
#include "stb_image.h"

namespace {

using host::CanvasCall;
using host::DrawStringCall;
using host::Image;
using host::Pixel;
using host::SetColorBytes;
using host::SetColorLinear;
using host::SetPositionCall;

const host::FontMetrics& Font() {
  static const host::FontMetrics font;
  return font;
}

const Image& Background() {
  static const Image background = host::RenderFrameImage({}, Font());
  return background;
}

int Brightness(Pixel pixel) {
  return pixel.r + pixel.g + pixel.b;
}

// The pixels of `image` that differ from the plain background.
struct Changes {
  int count = 0;
  int darker = 0;  // of them, darker than the background
  int x0 = std::numeric_limits<int>::max(), y0 = std::numeric_limits<int>::max();
  int x1 = -1, y1 = -1;  // last column and row, inclusive
  Pixel brightest{0, 0, 0, 0};
};

Changes ChangesOf(const Image& image) {
  Changes changes;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const Pixel pixel = image.At(x, y);
      const Pixel background = Background().At(x, y);
      if (pixel == background) continue;
      ++changes.count;
      if (Brightness(pixel) < Brightness(background)) ++changes.darker;
      changes.x0 = std::min(changes.x0, x);
      changes.y0 = std::min(changes.y0, y);
      changes.x1 = std::max(changes.x1, x);
      changes.y1 = std::max(changes.y1, y);
      if (Brightness(pixel) > Brightness(changes.brightest)) changes.brightest = pixel;
    }
  }
  return changes;
}

std::vector<CanvasCall> TextAt(Vector2F position, const std::string& text, float xScale,
                               float yScale, bool dropShadow) {
  return {SetPositionCall{position}, DrawStringCall{text, xScale, yScale, dropShadow, false}};
}

TEST(FrameImage, IsAGameScreenSizedPicture) {
  EXPECT_EQ(Background().Width(), 1920);
  EXPECT_EQ(Background().Height(), 1080);
  // A dark scene, not one flat colour.
  EXPECT_LT(Brightness(Background().At(960, 100)), 3 * 90);
  EXPECT_NE(Background().At(960, 100), Background().At(960, 1000));
}

struct PlacedText {
  const char* name;
  const char* text;
  Vector2F position;
  float xScale, yScale;
};

class TextPlacement : public ::testing::TestWithParam<PlacedText> {};

// The glyphs of the built-in font start one font pixel right of the pen, leave one or two font
// pixels of their advance empty on the right and a few above.
TEST_P(TextPlacement, PutsTheTextWhereTheCanvasSaysAtTheMeasuredSize) {
  const PlacedText& c = GetParam();
  const Changes changes = ChangesOf(
      host::RenderFrameImage(TextAt(c.position, c.text, c.xScale, c.yScale, false), Font()));
  const Vector2F size = Font().Measure(c.text, c.xScale, c.yScale);
  ASSERT_GT(changes.count, 0);
  EXPECT_GE(changes.x0, c.position.X);
  EXPECT_LE(changes.x0, c.position.X + 2 * c.xScale);
  EXPECT_GE(changes.y0, c.position.Y);
  EXPECT_LE(changes.y0, c.position.Y + 4 * c.yScale);
  const float right = static_cast<float>(changes.x1 + 1);
  EXPECT_LE(right, c.position.X + size.X);
  EXPECT_GE(right, c.position.X + size.X - 2 * c.xScale);
  // Descenders (the g of "Height") reach a font pixel below the line.
  EXPECT_LE(static_cast<float>(changes.y1 + 1), c.position.Y + size.Y + c.yScale);
}

INSTANTIATE_TEST_SUITE_P(
    FrameImage, TextPlacement,
    ::testing::Values(PlacedText{"OverlayLineAtScaleTwo", "Resets: 3", {100, 200}, 2, 2},
                      PlacedText{"ScaleOne", "Time: 1.25", {640, 75}, 1, 1},
                      PlacedText{"StretchedWide", "Height: 42", {1200, 900}, 3, 1.5f},
                      PlacedText{"StretchedTall", "0.00", {10, 600}, 1, 4},
                      PlacedText{
                          "FractionalScaleAndPlace", "Resets: 12", {333.5f, 48.25f}, 1.7f, 1.7f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameImage, DrawsDropShadowsOnlyWhenAsked) {
  const auto calls = [](bool shadow) {
    std::vector<CanvasCall> calls{SetColorBytes{255, 255, 255, 255}};
    for (const CanvasCall& call : TextAt({100, 200}, "Resets: 3", 2, 2, shadow)) {
      calls.push_back(call);
    }
    return calls;
  };
  const Changes plain = ChangesOf(host::RenderFrameImage(calls(false), Font()));
  const Changes shadowed = ChangesOf(host::RenderFrameImage(calls(true), Font()));
  EXPECT_EQ(plain.darker, 0);
  EXPECT_GT(shadowed.darker, 50);
  // The shadow falls down and to the right of the text, by one font pixel.
  EXPECT_EQ(shadowed.x0, plain.x0);
  EXPECT_EQ(shadowed.y0, plain.y0);
  EXPECT_EQ(shadowed.x1, plain.x1 + 2);
  EXPECT_EQ(shadowed.y1, plain.y1 + 2);
}

struct ColourCase {
  const char* name;
  std::vector<CanvasCall> setColour;
  Pixel expected;  // of the text's fully covered pixels
};

class TextColour : public ::testing::TestWithParam<ColourCase> {};

// At scale 1 glyph texels land on whole pixels, so the body of a glyph shows the exact colour.
TEST_P(TextColour, IsTheCurrentCanvasColour) {
  std::vector<CanvasCall> calls = GetParam().setColour;
  for (const CanvasCall& call : TextAt({50, 50}, "Height: 58", 1, 1, false)) calls.push_back(call);
  const Changes changes = ChangesOf(host::RenderFrameImage(calls, Font()));
  EXPECT_EQ(changes.brightest, GetParam().expected);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    FrameImage, TextColour,
    ::testing::Values(
        ColourCase{"WhiteBeforeAnyColourIsSet", {}, {255, 255, 255, 255}},
        ColourCase{"Bytes", {SetColorBytes{255, 64, 0, 255}}, {255, 64, 0, 255}},
        ColourCase{"LinearFromZeroTo255", {SetColorLinear{{0, 200, 255, 255}}}, {0, 200, 255, 255}},
        ColourCase{
            "LinearOutOfRangeClamped", {SetColorLinear{{300, -20, kNaN, 1000}}}, {255, 0, 0, 255}},
        ColourCase{"LatestColourWins",
                   {SetColorBytes{1, 2, 3, 255}, SetColorLinear{{10, 250, 10, 255}}},
                   {10, 250, 10, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameImage, DrawsNothingInATransparentColour) {
  std::vector<CanvasCall> calls{SetColorBytes{255, 255, 255, 0}};
  for (const CanvasCall& call : TextAt({100, 100}, "Time: 0.00", 2, 2, true)) {
    calls.push_back(call);
  }
  EXPECT_EQ(ChangesOf(host::RenderFrameImage(calls, Font())).count, 0);
}

// Past 65536 vertices 16-bit indices start again from a new vertex offset: a text of 20000
// glyphs ending on screen looks just like its last few glyphs alone.
TEST(FrameImage, DrawsTextsBeyond64KVerticesWhole) {
  const float advance = Font().Measure("W", 1, 1).X;
  const auto endingAt100 = [&](std::size_t glyphs) {
    return host::RenderFrameImage(TextAt({100 - advance * static_cast<float>(glyphs - 1), 300},
                                         std::string(glyphs, 'W'), 1, 1, false),
                                  Font());
  };
  const Image whole = endingAt100(20000);
  const Image tail = endingAt100(20);
  const Changes changes = ChangesOf(whole);
  EXPECT_EQ(changes.x0, 0);
  EXPECT_LE(changes.x1, 100 + advance);
  int differences = 0;
  for (int y = 0; y < whole.Height(); ++y) {
    for (int x = 0; x < whole.Width(); ++x) differences += whole.At(x, y) == tail.At(x, y) ? 0 : 1;
  }
  EXPECT_EQ(differences, 0);
}

struct UnplaceableText {
  const char* name;
  Vector2F position;
  float xScale, yScale;
};

class UnplaceableTexts : public ::testing::TestWithParam<UnplaceableText> {};

TEST_P(UnplaceableTexts, AreLeftOut) {
  const UnplaceableText& c = GetParam();
  std::vector<CanvasCall> calls = TextAt(c.position, "Resets: 3", c.xScale, c.yScale, true);
  EXPECT_EQ(ChangesOf(host::RenderFrameImage(calls, Font())).count, 0);
}

const float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    FrameImage, UnplaceableTexts,
    ::testing::Values(UnplaceableText{"PositionNotANumber", {kNaN, 10}, 2, 2},
                      UnplaceableText{"PositionInfinite", {10, -kInfinity}, 2, 2},
                      UnplaceableText{"PositionBeyondIntegers", {3.0e9f, 10}, 2, 2},
                      UnplaceableText{"ScaleZero", {10, 10}, 0, 2},
                      UnplaceableText{"ScaleNegative", {10, 10}, 2, -1},
                      UnplaceableText{"ScaleNotANumber", {10, 10}, kNaN, 2},
                      UnplaceableText{"ScaleInfinite", {10, 10}, 2, kInfinity},
                      UnplaceableText{"OffScreen", {-5000, 10}, 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The frame step of session scripts ---------------------------------------------------------

// Runs a script on a host with the plugin loaded, its pictures in `pictures`; returns what it
// printed.
std::string RunScript(const std::string& script, const std::string& source,
                      const std::filesystem::path& pictures) {
  testing_support::PluginSession session;
  const auto steps = host::ParseSession(script, source, host::RegistryCheck(session.Host()));
  std::ostringstream out;
  host::SessionRunner runner(session.Host(), session.Loaded(), out, {.pictures = pictures});
  runner.Run(steps, source);
  return out.str();
}

TEST(FrameStep, WritesTheFrameAsAPngMakingItsFolders) {
  testing_support::TempFolder folder;
  const auto file = folder.Path() / "shots" / "first.png";
  RunScript("0 mode freeplay\n0.5 frame shots/first.png\n", "session.txt", folder.Path());

  int width = 0, height = 0, channels = 0;
  ASSERT_EQ(stbi_info(file.string().c_str(), &width, &height, &channels), 1);
  EXPECT_EQ(width, 1920);
  EXPECT_EQ(height, 1080);
}

TEST(FrameStep, ReportsAnImageItCannotWriteWithFileAndLine) {
  testing_support::TempFolder folder;
  std::ofstream(folder.Path() / "blocker") << "a file where a folder should be";
  const std::string file = (folder.Path() / "blocker" / "frame.png").string();
  try {
    RunScript("0 mode freeplay\n# a frame follows\n1 frame blocker/frame.png\n", "practice.txt",
              folder.Path());
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()),
              "practice.txt:3: cannot write '" + file + "': Not a directory");
  }
}

}  // namespace
