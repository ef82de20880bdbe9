#pragma once
#include <memory>
#include <string>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {
class Canvas;
}

// The 2-D canvas of the frame being drawn, handed to drawables by value.
class PLUGINSDK_API CanvasWrapper {
 public:
  explicit CanvasWrapper(std::shared_ptr<pluginsdk::Canvas> canvas);
  // A copy and a destructor of its own and no move, as in the host's SDK (see ActorWrapper).
  CanvasWrapper(const CanvasWrapper& other);
  ~CanvasWrapper();

  // Channels as bytes: 255 (or -1) is full intensity.
  void SetColor(char red, char green, char blue, char alpha);
  // Components 0 to 255.
  void SetColor(LinearColor color);
  // Top-left corner of the next text. The host's SDK has both overloads, so a braced pair
  // names neither: callers spell the type.
  void SetPosition(Vector2F position);
  void SetPosition(Vector2 position);
  void DrawString(std::string text, float xScale, float yScale, bool dropShadow, bool wrapText);
  // Width and height the text would take at these scales.
  Vector2F GetStringSize(std::string text, float xScale, float yScale);
  // Width and height of the canvas, in pixels.
  Vector2 GetSize();

 private:
  std::shared_ptr<pluginsdk::Canvas> canvas_;
};
