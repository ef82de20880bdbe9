#pragma once
#include <filesystem>
#include <string>

namespace host {

// A path as UTF-8 text, every character kept. path::string() is the system's narrow encoding:
// UTF-8 on Linux and in MinGW's library, but the ANSI code page in Microsoft's, which throws for a
// name beyond it.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace host
