#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "Canvas.h"
#include "FontMetrics.h"

namespace host {

// --- One canvas call, as the plugin made it ----------------------------------------------------
struct SetColorBytes {
  std::uint8_t red, green, blue, alpha;
};
struct SetColorLinear {
  LinearColor color;
};
struct SetPositionCall {
  Vector2F position;
};
struct DrawStringCall {
  std::string text;
  float xScale, yScale;
  bool dropShadow, wrapText;
};
struct StringSizeCall {
  std::string text;
  float xScale, yScale;
  Vector2F size;  // the answer given
};
struct CanvasSizeCall {
  Vector2 size;  // the answer given
};
using CanvasCall = std::variant<SetColorBytes, SetColorLinear, SetPositionCall, DrawStringCall,
                                StringSizeCall, CanvasSizeCall>;

// A canvas that keeps every call of the frame, measuring text with the canvas font. Its size is
// the game's screen until set otherwise.
class RecordingCanvas : public pluginsdk::Canvas {
 public:
  explicit RecordingCanvas(const FontMetrics& font) : font_(font) {}

  void SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                std::uint8_t alpha) override;
  void SetColor(LinearColor color) override;
  void SetPosition(Vector2F position) override;
  void DrawString(std::string_view text, float xScale, float yScale, bool dropShadow,
                  bool wrapText) override;
  Vector2F GetStringSize(std::string_view text, float xScale, float yScale) override;
  Vector2 Size() override;

  const std::vector<CanvasCall>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }
  // The size the following frames are drawn on.
  void Resize(Vector2 size) { size_ = size; }
  Vector2 CurrentSize() const { return size_; }

 private:
  const FontMetrics& font_;
  std::vector<CanvasCall> calls_;
  Vector2 size_ = pluginsdk::kGameScreenSize;
};

// One line of trace for a call, such as `SetPosition 0 30`.
std::string DescribeCall(const CanvasCall& call);
// The texts of a frame in call order: texts at the same Y run together, a new Y starts a new
// group, groups joined by " | ". Empty when nothing was drawn.
std::string FrameText(const std::vector<CanvasCall>& calls);

}  // namespace host
