#include "ConfigText.h"

#include <algorithm>

namespace pluginsdk {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// `NAME VALUE` with a value of one word, as the console takes it when typed without quotes.
std::optional<ConfigEntry> UnquotedEntry(std::string_view line) {
  const auto blank = line.find_first_of(" \t");
  if (blank == std::string_view::npos) return std::nullopt;
  const std::string_view value = TrimBlanks(line.substr(blank));
  if (value.find_first_of(" \t") != std::string_view::npos) return std::nullopt;
  ConfigEntry entry{std::string(line.substr(0, blank)), std::string(value)};
  if (!IsConfigName(entry.name)) return std::nullopt;
  return entry;
}

}  // namespace

bool IsConfigName(std::string_view name) {
  return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == 0x7f || c == '"';
  });
}

std::optional<ConfigEntry> ParseConfigLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  line = TrimBlanks(line);
  const auto quote = line.find('"');
  if (quote == std::string_view::npos) return UnquotedEntry(line);
  if (line.size() - quote < 2 || line.back() != '"') return std::nullopt;
  ConfigEntry entry{std::string(TrimBlanks(line.substr(0, quote))), {}};
  if (!IsConfigName(entry.name)) return std::nullopt;
  const std::string_view quoted = line.substr(quote + 1, line.size() - quote - 2);
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') return std::nullopt;  // text after the closing quote
    if (c == '\\' && i + 1 < quoted.size()) {
      switch (quoted[i + 1]) {
        case '"':
        case '\\':
          c = quoted[++i];
          break;
        case 'n':
          c = '\n';
          ++i;
          break;
        case 'r':
          c = '\r';
          ++i;
          break;
        default:
          break;
      }
    } else if (c == '\\') {
      return std::nullopt;  // the closing quote is escaped: unterminated
    }
    entry.value += c;
  }
  return entry;
}

std::string FormatConfigLine(const ConfigEntry& entry) {
  std::string line = entry.name + " \"";
  for (const char c : entry.value) {
    switch (c) {
      case '"':
        line += "\\\"";
        break;
      case '\\':
        line += "\\\\";
        break;
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      default:
        line += c;
    }
  }
  return line + '"';
}

std::vector<std::string_view> SplitConfigLines(std::string_view text) {
  std::vector<std::string_view> lines;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  while (!text.empty()) {
    const auto end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return lines;
}

std::string MergeConfig(std::string_view oldText, const std::vector<ConfigEntry>& owned) {
  std::vector<bool> written(owned.size(), false);
  std::string text(oldText.starts_with(kByteOrderMark) ? kByteOrderMark : std::string_view{});
  for (const auto line : SplitConfigLines(oldText)) {
    const auto entry = ParseConfigLine(line);
    const auto mine = entry ? std::find_if(owned.begin(), owned.end(),
                                           [&](const auto& o) { return o.name == entry->name; })
                            : owned.end();
    if (mine == owned.end()) {
      text.append(line) += '\n';
      continue;
    }
    const auto index = static_cast<std::size_t>(mine - owned.begin());
    if (written[index]) continue;
    written[index] = true;
    text += FormatConfigLine(*mine) + '\n';
  }
  for (std::size_t i = 0; i < owned.size(); ++i) {
    if (!written[i]) text += FormatConfigLine(owned[i]) + '\n';
  }
  return text;
}

}  // namespace pluginsdk
