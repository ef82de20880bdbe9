// The software rasteriser on draw data made by hand: coverage, fill rule, interpolation,
// clipping, blending, texture sampling, command offsets and hostile geometry.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Image.h"
#include "Rasterizer.h"
#include "Tally.h"
#include "Texture.h"
#include "imgui.h"

namespace {

using host::Image;
using host::Pixel;

constexpr Pixel kBlack{0, 0, 0, 255};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kGreen{0, 255, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kWhite{255, 255, 255, 255};
const ImVec4 kEverywhere(-1.0e6f, -1.0e6f, 1.0e6f, 1.0e6f);

ImU32 Packed(Pixel pixel) {
  return IM_COL32(pixel.r, pixel.g, pixel.b, pixel.a);
}

// Draw data laid out by hand, vertex by vertex and index by index.
class HandMadeDrawData {
 public:
  HandMadeDrawData() {
    data_.Valid = true;
    data_.CmdLists = lists_;
    data_.CmdListsCount = 1;
    data_.FramebufferScale = ImVec2(1.0f, 1.0f);
  }

  void Vertex(ImVec2 position, ImU32 colour, ImVec2 uv = ImVec2(0.0f, 0.0f)) {
    list_.VtxBuffer.push_back(ImDrawVert{position, uv, colour});
  }
  void Triangle(unsigned a, unsigned b, unsigned c) {
    for (const unsigned index : {a, b, c}) list_.IdxBuffer.push_back(static_cast<ImDrawIdx>(index));
  }
  // Corners clockwise from the top left, split along the diagonal from top left to bottom right;
  // indices count from `base` (the next vertex unless given).
  void Rect(ImVec2 min, ImVec2 max, std::array<ImU32, 4> colours, ImVec2 uvMin = {},
            ImVec2 uvMax = {}, int base = -1) {
    const auto first = static_cast<unsigned>(base < 0 ? list_.VtxBuffer.Size : base);
    Vertex(min, colours[0], uvMin);
    Vertex({max.x, min.y}, colours[1], {uvMax.x, uvMin.y});
    Vertex(max, colours[2], uvMax);
    Vertex({min.x, max.y}, colours[3], {uvMin.x, uvMax.y});
    Triangle(first, first + 1, first + 2);
    Triangle(first, first + 2, first + 3);
  }
  void SolidRect(ImVec2 min, ImVec2 max, ImU32 colour) {
    Rect(min, max, {colour, colour, colour, colour});
  }
  // A command drawing the indices added since the previous one.
  ImDrawCmd& Command(ImVec4 clip = kEverywhere, const host::Texture* texture = nullptr,
                     unsigned vertexOffset = 0) {
    ImDrawCmd command;
    command.ClipRect = clip;
    command.TextureId = texture != nullptr ? host::TextureId(*texture) : nullptr;
    command.VtxOffset = vertexOffset;
    command.IdxOffset = commandStart_;
    command.ElemCount = static_cast<unsigned>(list_.IdxBuffer.Size) - commandStart_;
    commandStart_ = static_cast<unsigned>(list_.IdxBuffer.Size);
    list_.CmdBuffer.push_back(command);
    return list_.CmdBuffer.back();
  }

  ImDrawList& List() { return list_; }
  ImDrawData& Data() {
    data_.TotalVtxCount = list_.VtxBuffer.Size;
    data_.TotalIdxCount = list_.IdxBuffer.Size;
    return data_;
  }

  // The data drawn on a fresh image filled with `background`.
  Image Draw(int width = 32, int height = 32, Pixel background = kBlack) {
    Image image(width, height, background);
    host::RasterizeDrawData(Data(), image);
    return image;
  }

 private:
  ImDrawList list_{nullptr};
  ImDrawList* lists_[1] = {&list_};
  ImDrawData data_;
  unsigned commandStart_ = 0;
};

// Pixels [x0, x1) × [y0, y1).
struct Box {
  int x0, y0, x1, y1;
  bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// Checks that the pixels in `box` are `inside` and all others `outside`; reports the first few
// that are not.
::testing::AssertionResult PaintedExactly(const Image& image, Box box, Pixel inside,
                                          Pixel outside) {
  int wrong = 0;
  ::testing::AssertionResult result = ::testing::AssertionFailure();
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const Pixel expected = box.Contains(x, y) ? inside : outside;
      const Pixel actual = image.At(x, y);
      if (actual == expected) continue;
      if (++wrong <= 5) {
        result << "(" << x << "," << y << ") is " << int{actual.r} << " " << int{actual.g} << " "
               << int{actual.b} << " " << int{actual.a} << "; ";
      }
    }
  }
  if (wrong == 0) return ::testing::AssertionSuccess();
  return result << wrong << " pixels wrong";
}

bool Near(Pixel actual, Pixel expected, int tolerance = 1) {
  return std::abs(actual.r - expected.r) <= tolerance &&
         std::abs(actual.g - expected.g) <= tolerance &&
         std::abs(actual.b - expected.b) <= tolerance &&
         std::abs(actual.a - expected.a) <= tolerance;
}

// --- Coverage ------------------------------------------------------------------------------------

struct CoverageCase {
  const char* name;
  ImVec2 min, max;
  Box pixels;  // the pixels whose centres the rectangle covers
};

class RectangleCoverage : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(RectangleCoverage, FillsExactlyThePixelsWhoseCentresItCovers) {
  const CoverageCase& c = GetParam();
  HandMadeDrawData draw;
  draw.SolidRect(c.min, c.max, Packed(kRed));
  draw.Command();
  EXPECT_TRUE(PaintedExactly(draw.Draw(), c.pixels, kRed, kBlack));
}

INSTANTIATE_TEST_SUITE_P(
    Rasterizer, RectangleCoverage,
    ::testing::Values(
        CoverageCase{"WholePixels", {4, 6}, {20, 10}, {4, 6, 20, 10}},
        // Centres on the left and top edges belong to the rectangle, on the right and bottom not.
        CoverageCase{"EdgesThroughCentres", {4.5f, 6.5f}, {8.5f, 9.5f}, {4, 6, 8, 9}},
        CoverageCase{"FractionalEdges", {4.2f, 6.7f}, {7.6f, 8.4f}, {4, 7, 8, 8}},
        CoverageCase{"PartlyOutsideTheImage", {-10, 28}, {3, 50}, {0, 28, 3, 32}},
        CoverageCase{"TooThinForAnyCentre", {4.6f, 2}, {5.4f, 30}, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FanCase {
  const char* name;
  ImVec2 centre;
};

class TriangleFan : public ::testing::TestWithParam<FanCase> {};

// Four triangles around a point fill a square: a pixel drawn twice would be brighter, a pixel
// missed would stay black. Every other triangle is wound the other way.
TEST_P(TriangleFan, BlendsEveryPixelOfTheSharedEdgesExactlyOnce) {
  const ImU32 halfWhite = IM_COL32(255, 255, 255, 128);
  HandMadeDrawData draw;
  draw.Vertex({4, 4}, halfWhite);
  draw.Vertex({28, 4}, halfWhite);
  draw.Vertex({28, 28}, halfWhite);
  draw.Vertex({4, 28}, halfWhite);
  draw.Vertex(GetParam().centre, halfWhite);
  draw.Triangle(4, 0, 1);
  draw.Triangle(4, 2, 1);
  draw.Triangle(4, 2, 3);
  draw.Triangle(4, 0, 3);
  draw.Command();
  EXPECT_TRUE(PaintedExactly(draw.Draw(), {4, 4, 28, 28}, {128, 128, 128, 255}, kBlack));
}

INSTANTIATE_TEST_SUITE_P(Rasterizer, TriangleFan,
                         ::testing::Values(FanCase{"CentreOnAPixelCorner", {16, 16}},
                                           FanCase{"CentreOnAPixelCentre", {16.5f, 16.5f}},
                                           FanCase{"CentreAnywhere", {13.3f, 19.8f}}),
                         [](const auto& info) { return std::string(info.param.name); });

// A mesh over a square whose inner points are moved at random: whatever the edges' slopes and
// wherever they cross pixel centres, every pixel is blended exactly once.
TEST(Rasterizer, BlendsEveryPixelOfAnIrregularMeshExactlyOnce) {
  constexpr int kCells = 6;
  constexpr float kCell = 8.0f;
  const ImU32 halfWhite = IM_COL32(255, 255, 255, 128);
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> jitter(-2.5f, 2.5f);
    HandMadeDrawData draw;
    for (int row = 0; row <= kCells; ++row) {
      for (int column = 0; column <= kCells; ++column) {
        const bool inner = row > 0 && row < kCells && column > 0 && column < kCells;
        draw.Vertex({2 + column * kCell + (inner ? jitter(random) : 0.0f),
                     2 + row * kCell + (inner ? jitter(random) : 0.0f)},
                    halfWhite);
      }
    }
    for (unsigned row = 0; row < kCells; ++row) {
      for (unsigned column = 0; column < kCells; ++column) {
        const unsigned topLeft = row * (kCells + 1) + column;
        const unsigned bottomLeft = topLeft + kCells + 1;
        draw.Triangle(topLeft, topLeft + 1, bottomLeft + 1);
        draw.Triangle(bottomLeft + 1, bottomLeft, topLeft);
      }
    }
    draw.Command();
    EXPECT_TRUE(PaintedExactly(draw.Draw(52, 52), {2, 2, 50, 50}, {128, 128, 128, 255}, kBlack))
        << "seed " << seed;
  }
}

TEST(Rasterizer, DrawsBothWindingsAlike) {
  HandMadeDrawData clockwise;
  clockwise.Vertex({3, 2}, Packed(kGreen));
  clockwise.Vertex({29, 9}, Packed(kGreen));
  clockwise.Vertex({11, 27}, Packed(kGreen));
  clockwise.Triangle(0, 1, 2);
  clockwise.Command();
  HandMadeDrawData counterClockwise;
  counterClockwise.Vertex({3, 2}, Packed(kGreen));
  counterClockwise.Vertex({29, 9}, Packed(kGreen));
  counterClockwise.Vertex({11, 27}, Packed(kGreen));
  counterClockwise.Triangle(0, 2, 1);
  counterClockwise.Command();

  const Image a = clockwise.Draw();
  const Image b = counterClockwise.Draw();
  int drawn = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
      drawn += a.At(x, y) == kGreen ? 1 : 0;
    }
  }
  // The triangle's area is 297 pixels.
  EXPECT_GT(drawn, 270);
  EXPECT_LT(drawn, 325);
}

// --- Interpolation -------------------------------------------------------------------------------

TEST(Rasterizer, InterpolatesVertexColoursAcrossTheShape) {
  HandMadeDrawData draw;
  draw.Rect({0, 0}, {64, 4}, {Packed(kRed), Packed(kBlue), Packed(kBlue), Packed(kRed)});
  draw.Command();
  const Image image = draw.Draw(64, 4);
  testing_support::Tally tally;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 64; ++x) {
      const float t = (x + 0.5f) / 64.0f;
      const Pixel expected{static_cast<std::uint8_t>(std::lround(255 * (1 - t))), 0,
                           static_cast<std::uint8_t>(std::lround(255 * t)), 255};
      tally.ExpectTrue("near the blend of red and blue", Near(image.At(x, y), expected),
                       "pixel " + std::to_string(x) + "," + std::to_string(y));
    }
  }
  tally.Report();
}

// --- Clipping ------------------------------------------------------------------------------------

struct ClipCase {
  const char* name;
  ImVec2 displayPos;
  ImVec2 framebufferScale;
  ImVec4 clip;  // in vertex units
  Box pixels;
};

class ClipRect : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipRect, LimitsDrawingToThePixelsInside) {
  const ClipCase& c = GetParam();
  HandMadeDrawData draw;
  draw.SolidRect({-1000, -1000}, {1000, 1000}, Packed(kWhite));
  draw.Command(c.clip);
  draw.Data().DisplayPos = c.displayPos;
  draw.Data().FramebufferScale = c.framebufferScale;
  EXPECT_TRUE(PaintedExactly(draw.Draw(), c.pixels, kWhite, kBlack));
}

INSTANTIATE_TEST_SUITE_P(
    Rasterizer, ClipRect,
    ::testing::Values(
        ClipCase{"AtTheOrigin", {0, 0}, {1, 1}, {8, 8, 24, 16}, {8, 8, 24, 16}},
        ClipCase{
            "OffsetByTheDisplayPosition", {100, 50}, {1, 1}, {108, 58, 124, 66}, {8, 8, 24, 16}},
        ClipCase{"ScaledToTheFramebuffer", {0, 0}, {2, 2}, {2, 3, 5, 100}, {4, 6, 10, 32}},
        ClipCase{"ReachingOutsideTheImage", {0, 0}, {1, 1}, {-50, 20, 10, 500}, {0, 20, 10, 32}},
        ClipCase{"Empty", {0, 0}, {1, 1}, {12, 12, 12, 20}, {0, 0, 0, 0}},
        ClipCase{"Inverted", {0, 0}, {1, 1}, {20, 20, 10, 10}, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rasterizer, ScalesGeometryByTheFramebufferScale) {
  HandMadeDrawData draw;
  draw.SolidRect({2, 3}, {6, 5}, Packed(kRed));
  draw.Command();
  draw.Data().FramebufferScale = ImVec2(2, 3);
  EXPECT_TRUE(PaintedExactly(draw.Draw(), {4, 9, 12, 15}, kRed, kBlack));
}

// --- Blending ------------------------------------------------------------------------------------

struct BlendCase {
  const char* name;
  Pixel source;  // the vertex colour
  Pixel target;  // the image before
  Pixel result;
};

class Blending : public ::testing::TestWithParam<BlendCase> {};

TEST_P(Blending, PutsTheSourceOverTheTarget) {
  const BlendCase& c = GetParam();
  HandMadeDrawData draw;
  draw.SolidRect({0, 0}, {4, 4}, Packed(c.source));
  draw.Command();
  const Image image = draw.Draw(4, 4, c.target);
  const Pixel actual = image.At(2, 2);
  EXPECT_TRUE(Near(actual, c.result))
      << int{actual.r} << " " << int{actual.g} << " " << int{actual.b} << " " << int{actual.a};
}

INSTANTIATE_TEST_SUITE_P(
    Rasterizer, Blending,
    ::testing::Values(
        BlendCase{"OpaqueReplaces", kRed, kBlue, kRed},
        BlendCase{"HalfMixes", {255, 255, 255, 128}, kBlue, {128, 128, 255, 255}},
        BlendCase{"QuarterMixes", {0, 255, 0, 64}, kRed, {191, 64, 0, 255}},
        BlendCase{"TransparentKeeps", {255, 255, 255, 0}, {10, 20, 30, 40}, {10, 20, 30, 40}},
        BlendCase{
            "OverTransparentAddsAlpha", {255, 255, 255, 128}, {0, 0, 0, 0}, {128, 128, 128, 128}},
        BlendCase{"OverHalfAlphaAccumulates",
                  {0, 0, 0, 128},
                  {255, 255, 255, 128},
                  {127, 127, 127, 192}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rasterizer, DrawsListsAndCommandsInOrder) {
  HandMadeDrawData first;
  first.SolidRect({0, 0}, {10, 10}, Packed(kRed));
  first.Command();
  first.SolidRect({5, 0}, {10, 10}, Packed(kGreen));
  first.Command();
  HandMadeDrawData second;
  second.SolidRect({8, 0}, {10, 10}, Packed(kBlue));
  second.Command();
  ImDrawList* lists[] = {&first.List(), &second.List()};
  ImDrawData data = first.Data();
  data.CmdLists = lists;
  data.CmdListsCount = 2;

  Image image(10, 10, kBlack);
  host::RasterizeDrawData(data, image);
  EXPECT_EQ(image.At(2, 5), kRed);
  EXPECT_EQ(image.At(6, 5), kGreen);
  EXPECT_EQ(image.At(9, 5), kBlue);
}

// --- Textures ------------------------------------------------------------------------------------

// A texture whose pixels the test lays out.
struct TestTexture {
  TestTexture(int width, int height, std::vector<Pixel> pixels)
      : pixels(std::move(pixels)),
        texture{width, height, reinterpret_cast<const std::uint8_t*>(this->pixels.data())} {}
  std::vector<Pixel> pixels;
  host::Texture texture;
};

// 4 × 4 texels in four 2 × 2 blocks: red, green on top; blue, white below.
TestTexture Quadrants() {
  std::vector<Pixel> pixels;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      pixels.push_back(y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kWhite));
  }
  return TestTexture(4, 4, std::move(pixels));
}

struct UvCase {
  const char* name;
  ImVec2 uvMin, uvMax;
  std::array<Pixel, 4> corners;  // expected at the top left, top right, bottom left, bottom right
};

class TextureSampling : public ::testing::TestWithParam<UvCase> {};

TEST_P(TextureSampling, FollowsTheUVs) {
  const UvCase& c = GetParam();
  const TestTexture quadrants = Quadrants();
  HandMadeDrawData draw;
  draw.Rect({0, 0}, {40, 40}, {IM_COL32_WHITE, IM_COL32_WHITE, IM_COL32_WHITE, IM_COL32_WHITE},
            c.uvMin, c.uvMax);
  draw.Command(kEverywhere, &quadrants.texture);
  const Image image = draw.Draw(40, 40);
  EXPECT_EQ(image.At(5, 5), c.corners[0]);
  EXPECT_EQ(image.At(34, 5), c.corners[1]);
  EXPECT_EQ(image.At(5, 34), c.corners[2]);
  EXPECT_EQ(image.At(34, 34), c.corners[3]);
}

INSTANTIATE_TEST_SUITE_P(
    Rasterizer, TextureSampling,
    ::testing::Values(
        UvCase{"Whole", {0, 0}, {1, 1}, {kRed, kGreen, kBlue, kWhite}},
        UvCase{"Mirrored", {1, 0}, {0, 1}, {kGreen, kRed, kWhite, kBlue}},
        UvCase{"Flipped", {0, 1}, {1, 0}, {kBlue, kWhite, kRed, kGreen}},
        // From texel centre to texel centre of one block.
        UvCase{"InsideOneBlock", {0.125f, 0.125f}, {0.375f, 0.375f}, {kRed, kRed, kRed, kRed}},
        UvCase{"ClampedBeyondTheEdges", {-3, -3}, {4, 4}, {kRed, kGreen, kBlue, kWhite}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rasterizer, BlendsTexelsBetweenTheirCentres) {
  const TestTexture blackToWhite(2, 1, {kBlack, kWhite});
  HandMadeDrawData draw;
  draw.Rect({0, 0}, {100, 2}, {IM_COL32_WHITE, IM_COL32_WHITE, IM_COL32_WHITE, IM_COL32_WHITE},
            {0, 0}, {1, 1});
  draw.Command(kEverywhere, &blackToWhite.texture);
  const Image image = draw.Draw(100, 2);
  EXPECT_EQ(image.At(0, 0), kBlack);
  EXPECT_EQ(image.At(99, 0), kWhite);
  EXPECT_TRUE(Near(image.At(50, 0), {130, 130, 130, 255}));
  testing_support::Tally tally;
  for (int x = 1; x < 100; ++x) {
    tally.ExpectTrue("no darker than the pixel before", image.At(x, 0).r >= image.At(x - 1, 0).r,
                     "pixel " + std::to_string(x));
  }
  tally.Report();
}

TEST(Rasterizer, MultipliesTheTexelByTheVertexColour) {
  const TestTexture tinted(2, 1, {{0, 255, 128, 255}, {255, 255, 255, 0}});
  HandMadeDrawData draw;
  // Left half samples the first texel, right half the transparent second one.
  const ImU32 colour = IM_COL32(255, 128, 255, 128);
  draw.Rect({0, 0}, {8, 2}, {colour, colour, colour, colour}, {0.25f, 0}, {0.25f, 1});
  draw.Rect({8, 0}, {16, 2}, {colour, colour, colour, colour}, {0.75f, 0}, {0.75f, 1});
  draw.Command(kEverywhere, &tinted.texture);
  const Image image = draw.Draw(16, 2, kRed);
  // Source (0, 128, 128) at alpha 128 over red.
  EXPECT_TRUE(Near(image.At(3, 1), {127, 64, 64, 255})) << int{image.At(3, 1).r};
  EXPECT_EQ(image.At(12, 1), kRed);
}

TEST(Rasterizer, SamplesNoTextureAsOpaqueWhite) {
  const host::Texture noPixels{4, 4, nullptr};
  HandMadeDrawData draw;
  draw.SolidRect({0, 0}, {4, 4}, Packed(kGreen));
  draw.Command(kEverywhere, &noPixels);
  draw.SolidRect({4, 0}, {8, 4}, Packed(kBlue));
  draw.Command(kEverywhere, nullptr);
  const Image image = draw.Draw(8, 4);
  EXPECT_EQ(image.At(1, 1), kGreen);
  EXPECT_EQ(image.At(6, 1), kBlue);
}

// --- Command layout ------------------------------------------------------------------------------

TEST(Rasterizer, ReadsEachCommandAtItsIndexAndVertexOffsets) {
  HandMadeDrawData draw;
  draw.SolidRect({0, 0}, {8, 8}, Packed(kRed));
  draw.Command();
  // Indices of the second command count from its vertex offset, 4.
  draw.Rect({8, 0}, {16, 8}, {Packed(kGreen), Packed(kGreen), Packed(kGreen), Packed(kGreen)}, {},
            {}, 0);
  draw.Command(kEverywhere, nullptr, 4);
  const Image image = draw.Draw(16, 8);
  EXPECT_TRUE(PaintedExactly(image, {0, 0, 8, 8}, kRed, kGreen));
}

TEST(Rasterizer, CallsUserCallbacksInsteadOfDrawing) {
  static int calls = 0;
  static const ImDrawCmd* seen = nullptr;
  calls = 0;
  HandMadeDrawData draw;
  draw.SolidRect({0, 0}, {4, 4}, Packed(kRed));
  ImDrawCmd& callback = draw.Command();
  callback.UserCallback = [](const ImDrawList*, const ImDrawCmd* command) {
    ++calls;
    seen = command;
  };
  draw.SolidRect({0, 0}, {4, 4}, Packed(kGreen));
  draw.Command().UserCallback = ImDrawCallback_ResetRenderState;
  draw.SolidRect({4, 0}, {8, 4}, Packed(kBlue));
  draw.Command();

  const Image image = draw.Draw(8, 4);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, &draw.List().CmdBuffer[0]);
  EXPECT_EQ(image.At(1, 1), kBlack);
  EXPECT_EQ(image.At(5, 1), kBlue);
}

// --- A Dear ImGui frame --------------------------------------------------------------------------

// A window of a real context, as the host's settings window will draw one: its body in the
// style's window colour over the image, its title in the font's white.
TEST(Rasterizer, DrawsAFrameOfADearImGuiContext) {
  ImGuiContext* context = ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.DisplaySize = ImVec2(320, 200);
  io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
  const host::Texture font = host::FontAtlasTexture(*io.Fonts);
  io.Fonts->SetTexID(host::TextureId(font));
  ImGui::NewFrame();
  ImGui::SetNextWindowPos({20, 30});
  ImGui::SetNextWindowSize({200, 120});
  ImGui::Begin("Settings");
  ImGui::TextUnformatted("Hello");
  ImGui::End();
  ImGui::Render();
  const Pixel background{40, 80, 120, 255};
  Image image(320, 200, background);
  host::RasterizeDrawData(*ImGui::GetDrawData(), image);

  const ImVec4 body = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
  const auto over = [&](float channel, std::uint8_t below) {
    return static_cast<std::uint8_t>(std::lround(channel * body.w * 255 + below * (1 - body.w)));
  };
  EXPECT_TRUE(Near(image.At(120, 130), {over(body.x, background.r), over(body.y, background.g),
                                        over(body.z, background.b), 255}));
  EXPECT_EQ(image.At(10, 10), background);
  EXPECT_EQ(image.At(250, 100), background);
  int whiteInTitle = 0;
  for (int y = 30; y < 48; ++y) {
    for (int x = 20; x < 220; ++x) whiteInTitle += image.At(x, y) == kWhite ? 1 : 0;
  }
  // The shapes of "Settings" and the collapse arrow, not the glyphs' whole boxes.
  EXPECT_GT(whiteInTitle, 20);
  EXPECT_LT(whiteInTitle, 250);
  ImGui::DestroyContext(context);
}

// --- Geometry no renderer should trust -----------------------------------------------------------

// What of a broken rectangle may still be drawn.
enum class Survivor { kNothing, kUpperRightTriangle, kEverything };

struct BrokenCase {
  const char* name;
  float coordinate;  // replaces the top-left X of the rectangle
  int extraIndex;    // added to the last index, which belongs to the lower-left triangle
  int extraCount;    // added to the command's element count
  int extraOffset;   // added to the command's index offset
  Survivor drawn;
};

class BrokenGeometry : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenGeometry, IsSkippedWithoutHarm) {
  const BrokenCase& c = GetParam();
  HandMadeDrawData draw;
  draw.SolidRect({0, 0}, {8, 8}, Packed(kRed));
  draw.List().VtxBuffer[0].pos.x = c.coordinate;
  ImDrawIdx& lastIndex = draw.List().IdxBuffer.back();
  lastIndex = static_cast<ImDrawIdx>(lastIndex + c.extraIndex);
  ImDrawCmd& command = draw.Command();
  command.ElemCount += static_cast<unsigned>(c.extraCount);
  command.IdxOffset += static_cast<unsigned>(c.extraOffset);
  const Image image = draw.Draw(8, 8);
  testing_support::Tally tally;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::string where = "pixel " + std::to_string(x) + "," + std::to_string(y);
      if (c.drawn == Survivor::kEverything || (c.drawn == Survivor::kUpperRightTriangle && x > y)) {
        tally.ExpectTrue("drawn red", image.At(x, y) == kRed, where);
      } else if (c.drawn == Survivor::kNothing || x < y) {
        tally.ExpectTrue("left black", image.At(x, y) == kBlack, where);
      }
    }
  }
  tally.Report();
}

INSTANTIATE_TEST_SUITE_P(
    Rasterizer, BrokenGeometry,
    ::testing::Values(BrokenCase{"NotANumber", std::numeric_limits<float>::quiet_NaN(), 0, 0, 0,
                                 Survivor::kNothing},
                      BrokenCase{"Infinite", -std::numeric_limits<float>::infinity(), 0, 0, 0,
                                 Survivor::kNothing},
                      BrokenCase{"IndexPastTheVertices", 0, 1000, 0, 0,
                                 Survivor::kUpperRightTriangle},
                      BrokenCase{"CountPastTheIndices", 0, 0, 300, 0, Survivor::kEverything},
                      BrokenCase{"OffsetPastTheIndices", 0, 0, 0, 50, Survivor::kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rasterizer, FillsTheImageWithHugeGeometry) {
  HandMadeDrawData draw;
  draw.SolidRect({-1.0e30f, -1.0e30f}, {1.0e30f, 1.0e30f}, Packed(kGreen));
  draw.Command(ImVec4(-1.0e30f, -1.0e30f, 1.0e30f, 1.0e30f));
  EXPECT_TRUE(PaintedExactly(draw.Draw(), {0, 0, 32, 32}, kGreen, kBlack));
}

TEST(Rasterizer, DrawsNothingWithoutLists) {
  ImDrawData empty;
  Image image(4, 4, kBlue);
  host::RasterizeDrawData(empty, image);
  EXPECT_TRUE(PaintedExactly(image, {0, 0, 0, 0}, kBlue, kBlue));
}

}  // namespace
