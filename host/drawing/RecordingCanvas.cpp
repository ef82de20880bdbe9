#include "RecordingCanvas.h"

#include "Overloaded.h"
#include "ValueText.h"

namespace host {
namespace {

using pluginsdk::FormatNumber;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}
const char* Flag(bool value) {
  return value ? "true" : "false";
}

}  // namespace

void RecordingCanvas::SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                               std::uint8_t alpha) {
  calls_.emplace_back(SetColorBytes{red, green, blue, alpha});
}

void RecordingCanvas::SetColor(LinearColor color) {
  calls_.emplace_back(SetColorLinear{color});
}

void RecordingCanvas::SetPosition(Vector2F position) {
  calls_.emplace_back(SetPositionCall{position});
}

void RecordingCanvas::DrawString(std::string_view text, float xScale, float yScale, bool dropShadow,
                                 bool wrapText) {
  calls_.emplace_back(DrawStringCall{std::string(text), xScale, yScale, dropShadow, wrapText});
}

Vector2F RecordingCanvas::GetStringSize(std::string_view text, float xScale, float yScale) {
  const Vector2F size = font_.Measure(text, xScale, yScale);
  calls_.emplace_back(StringSizeCall{std::string(text), xScale, yScale, size});
  return size;
}

Vector2 RecordingCanvas::Size() {
  calls_.emplace_back(CanvasSizeCall{size_});
  return size_;
}

std::string DescribeCall(const CanvasCall& call) {
  return std::visit(
      Overloaded{
          [](const SetColorBytes& c) {
            return "SetColor " + std::to_string(c.red) + " " + std::to_string(c.green) + " " +
                   std::to_string(c.blue) + " " + std::to_string(c.alpha);
          },
          [](const SetColorLinear& c) {
            return "SetColor " + FormatNumber(c.color.R) + " " + FormatNumber(c.color.G) + " " +
                   FormatNumber(c.color.B) + " " + FormatNumber(c.color.A);
          },
          [](const SetPositionCall& c) {
            return "SetPosition " + FormatNumber(c.position.X) + " " + FormatNumber(c.position.Y);
          },
          [](const DrawStringCall& c) {
            return "DrawString " + Quoted(c.text) + " " + FormatNumber(c.xScale) + " " +
                   FormatNumber(c.yScale) + " " + Flag(c.dropShadow) + " " + Flag(c.wrapText);
          },
          [](const StringSizeCall& c) {
            return "GetStringSize " + Quoted(c.text) + " " + FormatNumber(c.xScale) + " " +
                   FormatNumber(c.yScale) + " -> " + FormatNumber(c.size.X) + " " +
                   FormatNumber(c.size.Y);
          },
          [](const CanvasSizeCall& c) {
            return "GetSize -> " + std::to_string(c.size.X) + " " + std::to_string(c.size.Y);
          },
      },
      call);
}

std::string FrameText(const std::vector<CanvasCall>& calls) {
  std::string text;
  Vector2F position;
  bool drawn = false;
  float groupY = 0.0f;
  for (const auto& call : calls) {
    if (const auto* move = std::get_if<SetPositionCall>(&call)) position = move->position;
    const auto* draw = std::get_if<DrawStringCall>(&call);
    if (draw == nullptr) continue;
    if (drawn && position.Y != groupY) text += " | ";
    text += draw->text;
    groupY = position.Y;
    drawn = true;
  }
  return text;
}

}  // namespace host
