#pragma once
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "RecordingCanvas.h"

namespace testing_support {

// The frame's calls as the host's --trace prints them.
inline std::vector<std::string> Trace(const std::vector<host::CanvasCall>& calls) {
  std::vector<std::string> lines;
  for (const auto& call : calls) lines.push_back(host::DescribeCall(call));
  return lines;
}

inline bool IsSetColor(const host::CanvasCall& call) {
  return std::holds_alternative<host::SetColorBytes>(call) ||
         std::holds_alternative<host::SetColorLinear>(call);
}

// Each drawn text with the colour in force when it was drawn, as a trace line prefixed with the
// overload ("bytes" or "linear"), so the two overloads cannot be mistaken for each other.
inline std::vector<std::pair<std::string, std::string>> TextColors(
    const std::vector<host::CanvasCall>& calls) {
  std::vector<std::pair<std::string, std::string>> texts;
  std::string color = "none";
  for (const auto& call : calls) {
    if (IsSetColor(call)) {
      const char* overload =
          std::holds_alternative<host::SetColorBytes>(call) ? "bytes " : "linear ";
      color = overload + host::DescribeCall(call);
    }
    if (const auto* draw = std::get_if<host::DrawStringCall>(&call)) {
      texts.emplace_back(draw->text, color);
    }
  }
  return texts;
}

}  // namespace testing_support
