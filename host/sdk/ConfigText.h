#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SdkExport.h"

namespace pluginsdk {

// The text of the host's configuration file: one `NAME "VALUE"` a line. Inside the quotes a
// backslash escapes a quote, a backslash, a line feed (\n) or a carriage return (\r), so any value
// fits on one line; any other backslash is kept as written, as a hand-edited file may have it.
// A value of one word may stand without quotes (`NAME VALUE`), as the console takes it.
struct ConfigEntry {
  std::string name;
  std::string value;

  bool operator==(const ConfigEntry&) const = default;
};

// Whether a variable name can be written: not empty, no blanks, quotes or control characters.
PLUGINSDK_API bool IsConfigName(std::string_view name);
// The entry a line holds (blanks around it and a trailing carriage return allowed), or nothing
// when the line is anything else: a comment, a blank line, text the host cannot read.
PLUGINSDK_API std::optional<ConfigEntry> ParseConfigLine(std::string_view line);
// The line for an entry whose name IsConfigName, without a line feed.
PLUGINSDK_API std::string FormatConfigLine(const ConfigEntry& entry);
// The lines of a file's text, without their line feeds. A last line without one counts. A UTF-8
// byte-order mark before the first line (some editors write one) belongs to no line.
PLUGINSDK_API std::vector<std::string_view> SplitConfigLines(std::string_view text);
// The file's new text, each line ending in a line feed. The first line of each name in `owned` is
// rewritten with its value where it stands and later lines of that name are dropped (the host
// owns them); every other line is kept byte for byte and in order; owned names the file lacks
// are appended in the order given. A byte-order mark the file began with stays at its head.
PLUGINSDK_API std::string MergeConfig(std::string_view oldText,
                                      const std::vector<ConfigEntry>& owned);

}  // namespace pluginsdk
