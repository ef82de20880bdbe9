#include "QuotedText.h"

#include <algorithm>

namespace pluginsdk {

std::string QuoteText(std::string_view text) {
  // A text with a single quote in it reads best as it was written, in double quotes, when
  // nothing in it needs an escape.
  if (text.size() <= kQuotedBytes && text.find('\'') != std::string_view::npos &&
      std::all_of(text.begin(), text.end(),
                  [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; })) {
    return '"' + std::string(text) + '"';
  }
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  const std::string_view shown = text.substr(0, kQuotedBytes);
  std::string quoted = "'";
  for (const char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\'') {
      // Escaped, so the quote around the text is the only bare one and every \ starts an escape.
      quoted += '\\';
      quoted += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      quoted += c;
    } else {
      quoted += "\\x";
      quoted += kHexDigits[byte >> 4];
      quoted += kHexDigits[byte & 0x0F];
    }
  }
  quoted += '\'';
  if (shown.size() < text.size()) quoted += "... (" + std::to_string(text.size()) + " bytes)";
  return quoted;
}

}  // namespace pluginsdk
