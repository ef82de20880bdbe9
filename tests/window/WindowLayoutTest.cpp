// Where the live window puts the settings window, and the part of the game the plugin draws on.
#include <gtest/gtest.h>

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

// The settings window keeps to the right edge above the band; the game's canvas is what the
// settings window and the band leave visible.
TEST_P(WindowLayoutTest, SettingsAtTheRightEdgeAndTheCanvasWhatStaysVisible) {
  const LayoutCase& c = GetParam();
  constexpr float kBand = 40.0f;
  const host::WindowLayout layout = host::LayOutWindow(c.screen, kBand, c.settingsShown);
  EXPECT_EQ(layout.settingsPosition.x, c.settingsPosition.x);
  EXPECT_EQ(layout.settingsPosition.y, c.settingsPosition.y);
  EXPECT_EQ(layout.settingsSize.x, c.settingsSize.x);
  EXPECT_EQ(layout.settingsSize.y, c.settingsSize.y);
  EXPECT_EQ(layout.game.x, c.game.x);
  EXPECT_EQ(layout.game.y, c.game.y);
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
