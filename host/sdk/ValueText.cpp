#include "ValueText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace pluginsdk {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<LinearColor> ParseHexColor(std::string_view digits) {
  if (digits.size() != 6 && digits.size() != 8) return std::nullopt;
  std::array<float, 4> channels{0.0f, 0.0f, 0.0f, 255.0f};
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const auto high = HexDigit(digits[i]);
    const auto low = HexDigit(digits[i + 1]);
    if (!high || !low) return std::nullopt;
    channels[i / 2] = static_cast<float>(*high * 16 + *low);
  }
  return LinearColor{channels[0], channels[1], channels[2], channels[3]};
}

std::optional<LinearColor> ParseTupleColor(std::string_view inner) {
  std::array<float, 4> channels{};
  for (std::size_t i = 0; i < channels.size(); ++i) {
    const auto comma = inner.find(',');
    const bool last = i + 1 == channels.size();
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    const auto value = ParseNumber(inner.substr(0, comma));
    if (!value || *value < 0.0 || *value > 255.0) return std::nullopt;
    channels[i] = static_cast<float>(*value);
    inner = last ? std::string_view{} : inner.substr(comma + 1);
  }
  return LinearColor{channels[0], channels[1], channels[2], channels[3]};
}

template <typename T>
std::string Shortest(T value) {
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), end);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  if (std::isnan(value)) return std::nullopt;
  return value;
}

std::optional<LinearColor> ParseColor(std::string_view text) {
  text = Trim(text);
  if (text.starts_with('#')) return ParseHexColor(text.substr(1));
  if (text.starts_with('(') && text.ends_with(')')) {
    return ParseTupleColor(text.substr(1, text.size() - 2));
  }
  return std::nullopt;
}

std::string FormatNumber(double value) {
  // Whole numbers in the range where doubles are exact print as integers.
  if (std::trunc(value) == value && std::fabs(value) < 1e15) {
    return Shortest(static_cast<std::int64_t>(value));
  }
  return Shortest(value);
}

std::string FormatNumber(float value) {
  if (std::trunc(value) == value && std::fabs(value) < 1e15f) {
    return Shortest(static_cast<std::int64_t>(value));
  }
  return Shortest(value);
}

std::string FormatColor(LinearColor value) {
  return "(" + FormatNumber(value.R) + ", " + FormatNumber(value.G) + ", " + FormatNumber(value.B) +
         ", " + FormatNumber(value.A) + ")";
}

}  // namespace pluginsdk
