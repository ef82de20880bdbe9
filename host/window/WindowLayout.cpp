#include "WindowLayout.h"

#include <algorithm>

#include "SettingsWindow.h"

namespace host {
namespace {

constexpr float kSettingsTop = 24.0f;
// The settings window leaves this much of the screen on its left to the game, down to its
// narrowest; it is never wider than it opens.
constexpr float kGameWidth = 560.0f;
constexpr float kSettingsMinWidth = 360.0f;

}  // namespace

WindowLayout LayOutWindow(ImVec2 screen, float bandHeight, bool settingsShown) {
  const float above = std::max(0.0f, screen.y - bandHeight);
  // It fits the screen above the band, scrolling when the page is taller.
  const ImVec2 size(
      std::min(SettingsWindow::kWidth, std::max(kSettingsMinWidth, screen.x - kGameWidth)),
      std::min(SettingsWindow::kHeight, above));
  const ImVec2 position(std::max(0.0f, screen.x - size.x), std::min(kSettingsTop, above - size.y));
  const float gameWidth = settingsShown ? position.x : screen.x;
  return {position, size, {std::max(1.0f, gameWidth), std::max(1.0f, above)}};
}

}  // namespace host
