// Where the live window puts the settings window, and the part of the game the plugin draws on.
#include <gtest/gtest.h>

#include <array>

#include "WindowLayout.h"

namespace {

struct LayoutCase {
  const char* name;
  ImVec2 screen;
  bool settingsShown;
  ImVec2 settingsPosition;
  ImVec2 settingsSize;
  ImVec2 game;
};

class WindowLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// The settings window keeps to the right edge above a band 40 pixels tall; the game's canvas is
// what the settings window and the band leave visible.
TEST_P(WindowLayoutTest, SettingsAtTheRightEdgeAndTheCanvasWhatStaysVisible) {
  const LayoutCase& c = GetParam();
  const host::WindowLayout got = host::LayOutWindow(c.screen, 40.0f, c.settingsShown);
  const auto flat = [](ImVec2 position, ImVec2 size, ImVec2 game) {
    return std::array{position.x, position.y, size.x, size.y, game.x, game.y};
  };
  EXPECT_EQ(flat(got.settingsPosition, got.settingsSize, got.game),
            flat(c.settingsPosition, c.settingsSize, c.game));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowLayoutTest,
    ::testing::Values(
        LayoutCase{"Opening", {1280, 720}, true, {560, 0}, {720, 680}, {560, 680}},
        LayoutCase{"SettingsHidden", {1280, 720}, false, {560, 0}, {720, 680}, {1280, 680}},
        LayoutCase{"Small", {800, 600}, true, {440, 0}, {360, 560}, {440, 560}},
        LayoutCase{"Large", {1920, 1080}, true, {1200, 24}, {720, 840}, {1200, 1040}},
        LayoutCase{"NarrowerThanTheSettings", {300, 200}, true, {0, 0}, {360, 160}, {1, 160}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
