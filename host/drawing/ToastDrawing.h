#pragma once
#include <vector>

#include "ToastBoard.h"
#include "imgui.h"

namespace host {

// The toasts on screen, each a box of its size at the screen's top right, the oldest on top and
// the others below it: the title over the text, in the canvas font at its own size. The list's
// texture must be the font's atlas.
void AddToasts(ImDrawList& list, const ImFont& font, const std::vector<pluginsdk::Toast>& toasts,
               ImVec2 screen);

}  // namespace host
