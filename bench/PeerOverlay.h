#pragma once
#include "CanvasWrapper.h"
#include "QuillonPlugin.h"

namespace bench {

// The same frame as DrawOverlay, written the common way: each number through a fresh
// std::ostringstream (classic locale, fixed, precision) and each text a fresh std::string.
void PeerDrawOverlay(QuillonPlugin& plugin, CanvasWrapper canvas);

}  // namespace bench
