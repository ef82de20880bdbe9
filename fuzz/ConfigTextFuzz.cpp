// libFuzzer target: any bytes read as the host's configuration file. Rewriting it keeps every line
// the host does not own byte for byte and in order, writes each owned variable exactly once, reads
// back every value as written, and a second rewrite changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ConfigText.h"

namespace {

using pluginsdk::ConfigEntry;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsOwned(std::string_view line, const std::vector<ConfigEntry>& owned) {
  const auto entry = pluginsdk::ParseConfigLine(line);
  if (!entry) return false;
  for (const auto& o : owned) {
    if (o.name == entry->name) return true;
  }
  return false;
}

std::vector<std::string_view> Foreign(std::string_view text,
                                      const std::vector<ConfigEntry>& owned) {
  std::vector<std::string_view> lines;
  for (const auto line : pluginsdk::SplitConfigLines(text)) {
    if (!IsOwned(line, owned)) lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Values to write: a plain one, a colour, and one made of the input's first bytes.
  const std::vector<ConfigEntry> owned{
      {"quillon_posx", "12"},
      {"quillon_color", "(255, 0, 0, 255)"},
      {"quillon_odd", std::string(text.substr(0, 16))},
  };
  for (const auto line : pluginsdk::SplitConfigLines(text)) {
    if (const auto entry = pluginsdk::ParseConfigLine(line)) {
      Require(pluginsdk::IsConfigName(entry->name));
      Require(pluginsdk::ParseConfigLine(pluginsdk::FormatConfigLine(*entry)) == entry);
    }
  }

  const std::string merged = pluginsdk::MergeConfig(text, owned);
  Require(Foreign(merged, owned) == Foreign(text, owned));
  for (const auto& entry : owned) {
    int lines = 0;
    for (const auto line : pluginsdk::SplitConfigLines(merged)) {
      const auto read = pluginsdk::ParseConfigLine(line);
      if (read && read->name == entry.name) {
        Require(*read == entry);
        ++lines;
      }
    }
    Require(lines == 1);
  }
  Require(pluginsdk::MergeConfig(merged, owned) == merged);
  return 0;
}
