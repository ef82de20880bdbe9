#pragma once
#include <vector>

#include "FontMetrics.h"
#include "Image.h"
#include "RecordingCanvas.h"
#include "ToastBoard.h"

namespace host {

// The size of the game's screen that frame pictures show.
inline constexpr int kFrameWidth = pluginsdk::kGameScreenSize.X;
inline constexpr int kFrameHeight = pluginsdk::kGameScreenSize.Y;

// What a player would see of a frame on a screen of the given size (by default the game's): a
// plain game-like background with the frame's canvas calls drawn over it. Each DrawString draws at
// the current position in the current colour (opaque white and (0, 0) until set; LinearColor
// components run from 0 to 255) in the canvas font, stretched by its scales exactly as
// GetStringSize measures. Its drop shadow is the text in black at the text's alpha, one font pixel
// (rounded, at least one pixel) down and right. The wrap flag changes nothing, as GetStringSize
// does not wrap either. The toasts on screen are drawn over it all (ToastDrawing.h).
Image RenderFrameImage(const std::vector<CanvasCall>& calls, const FontMetrics& font,
                       int width = kFrameWidth, int height = kFrameHeight,
                       const std::vector<pluginsdk::Toast>& toasts = {});

}  // namespace host
