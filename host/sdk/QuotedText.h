#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "SdkExport.h"

namespace pluginsdk {

// Messages quote at most this many bytes of an offending text.
inline constexpr std::size_t kQuotedBytes = 60;

// A text as a message quotes it: in single quotes, its first kQuotedBytes bytes with every byte
// that is not printable ASCII written as \xNN, a backslash as \\ and a single quote as \', and
// "... (N bytes)" after the quote when it was cut. A message then stays one short line whatever
// the text holds, and cannot be misread. A printable text that holds a single quote, and no
// double quote, backslash or more than kQuotedBytes bytes, is shown as it is in double quotes.
PLUGINSDK_API std::string QuoteText(std::string_view text);

}  // namespace pluginsdk
