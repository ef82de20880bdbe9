#pragma once
#include "imgui.h"

namespace host {

// Where the live window's parts go on a screen of a given size: the settings window against the
// right edge above the band of keys at the foot, and the game's visible part, left of the
// settings window (when shown) and above the band. That part is the canvas the plugin draws on,
// so an overlay kept on screen stays where the player can see it.
struct WindowLayout {
  ImVec2 settingsPosition;
  ImVec2 settingsSize;
  ImVec2 game;  // the visible part's size, from the top left corner; at least 1 by 1
};

WindowLayout LayOutWindow(ImVec2 screen, float bandHeight, bool settingsShown);

}  // namespace host
