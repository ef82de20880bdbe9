// Where the live window puts the settings window, and the part of the game the plugin draws on.
#include <gtest/gtest.h>

#include <array>

#include "WindowLayout.h"

namespace {

std::array<float, 6> Flat(ImVec2 position, ImVec2 size, ImVec2 game) {
  return {position.x, position.y, size.x, size.y, game.x, game.y};
}

// The settings window keeps to the right edge above a band 40 pixels tall; the game's canvas is
// what the settings window and the band leave visible.
TEST(WindowLayout, SettingsAtTheRightEdgeAndTheCanvasWhatStaysVisible) {
  struct Case {
    ImVec2 screen;
    bool settingsShown;
    ImVec2 settingsPosition, settingsSize, game;
  };
  const Case cases[] = {
      {{1280, 720}, true, {560, 0}, {720, 680}, {560, 680}},
      {{1280, 720}, false, {560, 0}, {720, 680}, {1280, 680}},
      {{800, 600}, true, {440, 0}, {360, 560}, {440, 560}},
      {{1920, 1080}, true, {1200, 24}, {720, 880}, {1200, 1040}},
      {{300, 200}, true, {0, 0}, {360, 160}, {1, 160}},  // narrower than the settings window
  };
  for (const Case& c : cases) {
    const host::WindowLayout got = host::LayOutWindow(c.screen, 40.0f, c.settingsShown);
    EXPECT_EQ(Flat(got.settingsPosition, got.settingsSize, got.game),
              Flat(c.settingsPosition, c.settingsSize, c.game))
        << c.screen.x << "x" << c.screen.y << (c.settingsShown ? " with" : " without")
        << " the settings window";
  }
}

}  // namespace
