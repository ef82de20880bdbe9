#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "FontMetrics.h"
#include "FrameDrawing.h"
#include "GlRenderer.h"
#include "Image.h"
#include "PlayView.h"
#include "RecordingCanvas.h"
#include "Texture.h"
#include "ToastBoard.h"

namespace host {

// What the live window shows, as draw data that either renderer draws: the play seen from the
// side on the game's visible part (PlayView.h), the canvas calls' texts over it as frame pictures
// show them, the settings window if it is shown, the toasts on screen over it, and on top a band at
// the bottom with a line of status and a line naming the keys, wrapped onto more lines where the
// window is too narrow for it.
class WindowScene {
 public:
  // The keys, as the window's help line names them; a line breaks only between two keys.
  static constexpr std::string_view kHelp =
      "J jump  L land in the air  F land on the floor  D dodge  G ball on the ground  "
      "R round start  E explode  P pause  Up/Down ball  M mode  S settings  F12 screenshot  "
      "Esc quit";

  explicit WindowScene(const FontMetrics& font);

  // Height of the band at the bottom of a window that wide: 40 pixels while the keys fit on
  // one line.
  float BandHeight(float width) const;

  // Builds the scene on a screen of that size. `settings` (null: hidden) must stay as it is
  // until the scene is drawn.
  // `play`'s marks, too, must stay as they are until then.
  void Compose(int width, int height, const PlayState& play, const std::vector<CanvasCall>& calls,
               std::string_view status, const ImDrawData* settings,
               const std::vector<pluginsdk::Toast>& toasts = {});
  void Render(GlRenderer& renderer);
  // The same scene drawn by the software rasteriser.
  Image Rasterize();

 private:
  // The keys' lines in a window that wide.
  std::vector<std::string_view> HelpLines(float width) const;

  const FontMetrics& font_;
  Texture fontTexture_;
  int width_ = 0;
  int height_ = 0;
  ScreenDrawList background_;
  ScreenDrawList play_;
  ScreenDrawList texts_;
  ScreenDrawList toasts_;
  ScreenDrawList band_;
  std::optional<ImDrawData> settings_;  // shares the settings window's draw lists
};

}  // namespace host
