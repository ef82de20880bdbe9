// The live window under a virtual X server: what OpenGL draws through Dear ImGui's own backend
// against what our software rasteriser draws of the very same draw data, and the host program's
// window mode run from the command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BusyLoops.h"
#include "FrameDrawing.h"
#include "FrameImage.h"
#include "LiveWindow.h"
#include "PlayView.h"
#include "PluginSession.h"
#include "Rasterizer.h"
#include "ResetMarks.h"
#include "SessionRunner.h"
#include "TempFolder.h"
#include "VirtualDisplay.h"
#include "stb_image.h"

namespace {

using host::GameAction;
using host::Image;

// What the renderers may differ by (measured: see docs/window.md): a pixel's edge here and there,
// never a colour, a place or a glyph.
constexpr double kMeanChannelLimit = 0.15;
constexpr double kShareOver32Limit = 0.0001;
constexpr double kDrawnShareOver32Limit = 0.001;

// The settings window's left edge and the status band's top in a 1280x720 window: left of and
// above them only the game shows.
constexpr int kFrameColumns = host::LiveWindow::kWidth - 720;
constexpr int kFrameRows = host::LiveWindow::kHeight - 40;

const host::FontMetrics& Font() {
  static const host::FontMetrics font;
  return font;
}

// The game's part of the window drawn apart from it, in software, on a picture as large as the
// window: the play seen from the side, and the frame's texts over it as frame pictures draw them.
Image GamePicture(const host::PlayState& play, const std::vector<host::CanvasCall>& calls) {
  static host::Texture atlas = host::FontAtlasTexture(Font().Atlas());
  host::ScreenDrawList list(play.area, host::TextureId(atlas), Font().Atlas().TexUvWhitePixel);
  host::AddPlayView(list.List(), Font().Font(), play);
  host::AddCanvasTexts(list.List(), Font().Font(), calls);
  Image picture(host::LiveWindow::kWidth, host::LiveWindow::kHeight);  // as large as the window
  host::RasterizeDrawData(list.Data(), picture);
  return picture;
}

// The play the window shows of the session's world on its game part, the marks following
// the frame's calls.
host::PlayState PlayOf(testing_support::PluginSession& session, host::ResetMarks& marks,
                       const std::vector<host::CanvasCall>& calls, int columns) {
  return host::FollowPlay(session.Host().World(),
                          {static_cast<float>(columns), static_cast<float>(kFrameRows)}, marks,
                          calls);
}

// How far two pictures are apart over the columns [0, width) and rows [0, height): the mean
// absolute difference of the red, green and blue channels, and the share of pixels with a
// channel more than 32 apart, over all pixels and over those where something is drawn on the
// plain background.
struct Difference {
  double meanChannel = 0.0;
  double shareDiffering = 0.0;  // pixels with any channel apart
  int largest = 0;              // the largest channel difference
  double shareOver32 = 0.0;
  double drawnShareOver32 = 0.0;
};

Difference Compare(const Image& gl, const Image& software, int width, int height) {
  const Image plain = host::RenderFrameImage({}, Font(), software.Width(), software.Height());
  long channels = 0, differing = 0, over = 0, drawn = 0, drawnOver = 0;
  int largest = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const host::Pixel a = gl.At(x, y);
      const host::Pixel b = software.At(x, y);
      const int red = std::abs(a.r - b.r), green = std::abs(a.g - b.g), blue = std::abs(a.b - b.b);
      channels += red + green + blue;
      const bool far = std::max({red, green, blue}) > 32;
      over += far;
      differing += red + green + blue > 0;
      largest = std::max({largest, red, green, blue});
      if (!(b == plain.At(x, y))) {
        ++drawn;
        drawnOver += far;
      }
    }
  }
  const double pixels = static_cast<double>(width) * height;
  return {static_cast<double>(channels) / (3.0 * pixels), static_cast<double>(differing) / pixels,
          largest, static_cast<double>(over) / pixels,
          drawn > 0 ? static_cast<double>(drawnOver) / static_cast<double>(drawn) : 0.0};
}

void ExpectWithinLimits(const Difference& d, const std::string& what) {
  std::cout << what << ": mean channel difference " << d.meanChannel << "; pixels differing "
            << 100.0 * d.shareDiffering << " % (by " << d.largest
            << " at most), more than 32 apart " << 100.0 * d.shareOver32 << " % (of the drawn ones "
            << 100.0 * d.drawnShareOver32 << " %)\n";
  EXPECT_LE(d.meanChannel, kMeanChannelLimit) << what;
  EXPECT_LE(d.shareOver32, kShareOver32Limit) << what;
  EXPECT_LE(d.drawnShareOver32, kDrawnShareOver32Limit) << what;
}

bool SameRegion(const Image& a, const Image& b, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (!(a.At(x, y) == b.At(x, y))) return false;
    }
  }
  return true;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::optional<Image> LoadPng(const std::filesystem::path& file) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
  if (pixels == nullptr) return std::nullopt;
  Image image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const stbi_uc* p = pixels + 4 * (static_cast<std::size_t>(y) * width + x);
      image.At(x, y) = {p[0], p[1], p[2], p[3]};
    }
  }
  stbi_image_free(pixels);
  return image;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto& display = testing_support::SharedDisplay();
    if (!display.Available()) {
      GTEST_SKIP() << "no X server could be started, so no window can be opened: "
                   << display.Problem();
    }
  }
};

TEST_F(WindowTest, OpenGlDrawsTheWindowAsTheSoftwareRasteriserDoes) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> variables;
    bool settingsShown;
    const char* pickerOf;  // the colour editor whose picker is open, if any
    const char* overlay;   // the frame's text
  };
  const Case cases[] = {
      {"the overlay alone",
       {{"quillon_posx", "80"}, {"quillon_posy", "60"}},
       false,
       nullptr,
       "Resets: 2 | Height: 65 | Time: 1.25"},
      {"a large overlay in six colours beside the settings window",
       {{"quillon_posx", "40"},
        {"quillon_posy", "200"},
        {"quillon_textsize", "5"},
        {"quillon_heightdecimal", "1"},
        {"quillon_samecolorenabled", "0"},
        {"quillon_resetcolor", "(255, 64, 64, 255)"},
        {"quillon_heightnumcolor", "(64, 255, 128, 200)"},
        {"quillon_timecolor", "(90, 160, 255, 255)"}},
       true,
       nullptr,
       "Resets: 2 | Height: 65.00 | Time: 1.25"},
      {"the colour picker open",
       {{"quillon_posx", "100"}},
       true,
       "Text Color",
       "Resets: 2 | Height: 65 | Time: 1.25"},
  };
  for (const Case& c : cases) {
    testing_support::PluginSession session;
    std::ostringstream out;
    host::SessionRunner runner(session.Host(), session.Loaded(), out, {});
    host::LiveWindow window(session.Host(), runner, "quillon window test");
    window.ShowSettings(c.settingsShown);
    session.Set("quillon_enabled", "1");
    for (const auto& [name, value] : c.variables) session.Set(name, value);
    auto& controls = window.Controls();
    controls.EnterMode(pluginsdk::GameMode::Freeplay);
    session.At(3.0);
    for (int i = 0; i < 13; ++i) controls.Play(GameAction::BallUp);
    for (const auto action : {GameAction::Jump, GameAction::LandInAir, GameAction::Dodge}) {
      controls.Play(action);
    }
    session.At(4.25);
    controls.Play(GameAction::LandInAir);
    ASSERT_EQ(session.Frame(), c.overlay) << c.name;
    const auto& calls = session.LastFrameCalls();
    window.Screenshot(calls);  // places the settings window where it shows
    host::ResetMarks marks;    // as the window follows them, from the same frame
    const int columns = c.settingsShown ? kFrameColumns : host::LiveWindow::kWidth;
    if (c.pickerOf != nullptr) {
      ASSERT_TRUE(runner.OpenSettings()->Click(c.pickerOf)) << c.name;
      ASSERT_NE(runner.OpenSettings()->TopPopup(), nullptr) << c.name;
    }

    const Image gl = window.Screenshot(calls);
    const Image software = window.SoftwarePicture();
    ASSERT_EQ(gl.Width(), host::LiveWindow::kWidth) << c.name;
    ASSERT_EQ(gl.Height(), host::LiveWindow::kHeight) << c.name;
    ASSERT_EQ(software.Width(), gl.Width()) << c.name;
    ExpectWithinLimits(Compare(gl, software, gl.Width(), gl.Height()), c.name);
    // Where nothing covers it, the window shows the play with the frame's texts over it, drawn
    // as frame pictures draw them.
    const Image game = GamePicture(PlayOf(session, marks, calls, columns), calls);
    EXPECT_TRUE(SameRegion(software, game, columns, kFrameRows)) << c.name;
  }
}

// Where the pixels that pass `test` lie, on average, within `radius` of `around` (their count
// is 0 when there are none).
struct Found {
  int count = 0;
  ImVec2 centre{0.0f, 0.0f};
  float bottom = 0.0f;  // the lowest row
};

template <typename Test>
Found FindPixels(const Image& picture, ImVec2 around, float radius, Test test) {
  Found found;
  for (int y = std::max(0, static_cast<int>(around.y - radius));
       y < std::min(picture.Height(), static_cast<int>(around.y + radius)); ++y) {
    for (int x = std::max(0, static_cast<int>(around.x - radius));
         x < std::min(picture.Width(), static_cast<int>(around.x + radius)); ++x) {
      if (!test(picture.At(x, y))) continue;
      ++found.count;
      found.centre.x += static_cast<float>(x) + 0.5f;
      found.centre.y += static_cast<float>(y) + 0.5f;
      found.bottom = std::max(found.bottom, static_cast<float>(y) + 1.0f);
    }
  }
  if (found.count > 0) {
    found.centre.x /= static_cast<float>(found.count);
    found.centre.y /= static_cast<float>(found.count);
  }
  return found;
}

bool IsBall(host::Pixel p) {
  return p.r > 215 && p.g > 215 && p.b > 225;
}
bool IsCarBody(host::Pixel p) {
  return p.r > 240 && p.g > 120 && p.g < 160 && p.b < 60;
}
bool IsMark(host::Pixel p) {
  return p.r > 240 && p.g > 190 && p.g < 225 && p.b < 90;
}

// The keys play two resets at two heights of the ball, then land the car on the floor: the
// window shows the ball and the car where they are, each reset marked where the ball was, and
// OpenGL draws it as the software rasteriser does.
TEST_F(WindowTest, TheSideViewShowsTheBallAndTheCarAtTheirHeightsAndAMarkAtEachReset) {
  testing_support::PluginSession session;
  std::ostringstream out;
  host::SessionRunner runner(session.Host(), session.Loaded(), out, {});
  host::LiveWindow window(session.Host(), runner, "quillon window test");
  window.ShowSettings(false);
  session.Set("quillon_enabled", "1");
  auto& controls = window.Controls();
  const auto& world = session.Host().World();
  controls.EnterMode(pluginsdk::GameMode::Freeplay);
  session.At(3.0);
  for (int i = 0; i < 13; ++i) controls.Play(GameAction::BallUp);
  const Vector firstReset = world.gameState->ball->location;  // 65 %
  for (const auto action : {GameAction::Jump, GameAction::LandInAir, GameAction::Dodge}) {
    controls.Play(action);
  }
  // The resets and heights the view is about; the time's text is the overlay's tests' matter.
  ASSERT_TRUE(session.Frame().starts_with("Resets: 1 | Height: 65 | ")) << session.Frame();
  window.Screenshot(session.LastFrameCalls());
  for (int i = 0; i < 5; ++i) controls.Play(GameAction::BallDown);
  const Vector secondReset = world.gameState->ball->location;  // 40 %
  session.At(4.25);
  controls.Play(GameAction::LandInAir);
  ASSERT_TRUE(session.Frame().starts_with("Resets: 2 | Height: 40 | ")) << session.Frame();

  const Image gl = window.Screenshot(session.LastFrameCalls());
  ExpectWithinLimits(Compare(gl, window.SoftwarePicture(), gl.Width(), gl.Height()),
                     "the side view");
  const host::PlayState play{{static_cast<float>(gl.Width()), static_cast<float>(kFrameRows)},
                             std::nullopt,
                             std::nullopt,
                             {}};
  const host::SideView view(play);  // ball and car at the same place along the field
  const float scale = view.Scale();
  ASSERT_GT(scale, 0.2f);

  const ImVec2 ball = view.At(world.gameState->ball->location);
  const Found shownBall = FindPixels(gl, ball, 40.0f, IsBall);
  EXPECT_GT(shownBall.count, 1000) << "a ball some 60 pixels across";
  EXPECT_NEAR(shownBall.centre.x, ball.x, 1.5f);
  EXPECT_NEAR(shownBall.centre.y, ball.y, 1.5f);

  const ImVec2 car = view.At(world.localCar->location);
  const Found carInAir = FindPixels(gl, car, 30.0f, IsCarBody);
  EXPECT_GT(carInAir.count, 60) << "a car some 38 pixels long";
  EXPECT_NEAR(carInAir.centre.x, car.x, 1.5f);
  EXPECT_LT(carInAir.bottom, view.FloorY() - 100.0f * scale) << "in the air, 150 units up";

  for (const auto& [at, count] : {std::pair{firstReset, 1}, std::pair{secondReset, 2}}) {
    const ImVec2 mark = view.At(at);
    const Found shownMark = FindPixels(gl, mark, 7.0f, IsMark);
    EXPECT_GT(shownMark.count, 40) << "reset " << count;
    EXPECT_NEAR(shownMark.centre.y, mark.y, 1.5f) << "reset " << count;
  }

  controls.Play(GameAction::LandOnFloor);
  const Image landed = window.Screenshot(session.LastFrameCalls());
  const Found carOnFloor = FindPixels(landed, view.At(world.localCar->location), 30.0f, IsCarBody);
  EXPECT_GT(carOnFloor.count, 60);
  EXPECT_NEAR(carOnFloor.bottom, view.FloorY() - 5.0f * scale, 3.0f) << "on its wheels";
}

TEST_F(WindowTest, TheProgramPlaysAScriptInTheWindowAndItsFramePicturesAreTheWindows) {
  const testing_support::TempFolder folder;
  const auto shot = folder.Path() / "shot.png";
  // The play comes at the very instant of the practice check, 3 s after the game event: the
  // first steps ran at 0 exactly, so the check runs first, as in virtual time, and it counts.
  const std::string script =
      "0 mode freeplay\n"
      "0 event init\n"
      "0 set quillon_enabled 1\n"
      "0 set quillon_posx 100\n"
      "0 set quillon_posy 100\n"
      "0 set quillon_textsize 3\n"
      "3 event jump\n"
      "3 ball 0 0 1024\n"
      "3 car 0 0 200\n"
      "3 event landed\n"
      "3.3 frame shot.png\n";
  const auto session = folder.Path() / "play.session";
  std::ofstream(session) << script;
  const auto out = folder.Path() / "out.txt";
  const auto err = folder.Path() / "err.txt";
  const std::string command = std::string(QUILLON_HOST_PATH) + " --window --close-at-end " +
                              "--pictures " + folder.Path().string() + ' ' + session.string() +
                              " >" + out.string() + " 2>" + err.string();
  {
    // However late the window's loop gets to a step on a busy machine, the step runs at its time.
    const testing_support::BusyLoops busy;
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(err);
  }
  const std::string shown = ReadFile(out);
  // One frame line, with the reset counted at the check's instant, then its picture's line.
  const std::string pictureLine = "picture: " + shot.string() + " (1280x720)\n";
  EXPECT_TRUE(shown.starts_with("3.300 Resets: 1 | Height: 50 | ")) << shown;
  EXPECT_TRUE(shown.ends_with(pictureLine)) << shown;
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 2) << shown;
  const auto gl = LoadPng(shot);
  ASSERT_TRUE(gl.has_value());
  ASSERT_EQ(gl->Width(), host::LiveWindow::kWidth);
  ASSERT_EQ(gl->Height(), host::LiveWindow::kHeight);

  // The same script replayed in virtual time: the same line, and the frame in software.
  testing_support::PluginSession replay;
  std::ostringstream printed;
  host::SessionRunner runner(replay.Host(), replay.Loaded(), printed, {.pictures = folder.Path()});
  std::optional<Image> software;
  host::ResetMarks marks;
  runner.SetFramePicture([&](const std::vector<host::CanvasCall>& calls) {
    software = GamePicture(PlayOf(replay, marks, calls, kFrameColumns), calls);
    return *software;
  });
  runner.Run(host::ParseSession(script, "play.session", host::RegistryCheck(replay.Host())),
             "play.session");
  EXPECT_EQ(printed.str(), shown);
  ASSERT_TRUE(software.has_value());
  ExpectWithinLimits(Compare(*gl, *software, kFrameColumns, kFrameRows),
                     "the program's frame picture");
}

TEST(WindowOptions, AreRefusedWhereTheyCannotWorkWithAClearMessage) {
  struct Case {
    const char* arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"--close-at-end x.session", 2, "quillon-host: --close-at-end needs --window\n"},
      {"--window --describe", 2, "quillon-host: --describe and --window cannot go together\n"},
      // No display at all: the window cannot open, and nothing else runs.
      {"--window", 1,
       "quillon-host: cannot open a window: X11: The DISPLAY environment variable is missing\n"},
  };
  const testing_support::TempFolder folder;
  for (const Case& c : cases) {
    const auto err = folder.Path() / "err.txt";
    const std::string command = "env -u DISPLAY " + std::string(QUILLON_HOST_PATH) + " " +
                                c.arguments + " >/dev/null 2>" + err.string();
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.arguments;
    EXPECT_EQ(ReadFile(err).substr(0, std::string(c.message).size()), c.message) << c.arguments;
  }
}

}  // namespace
