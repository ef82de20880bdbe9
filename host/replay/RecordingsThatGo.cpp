#include "RecordingsThatGo.h"

#include "PathText.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <tuple>
#include <vector>

namespace host {
namespace {

// The files a message names; a count of the rest follows them.
constexpr std::size_t kNamesShown = 20;

// Where a recording comes in the order they were made: its second, then its number in that
// second ("-2", "-10"; none is the first).
std::tuple<std::string, unsigned, std::string> MadeOrder(const std::string& name) {
  const std::string stem = PathText(std::filesystem::path(name).stem());
  const auto dash = stem.rfind('-');
  unsigned number = 0;
  if (dash != std::string::npos) {
    const char* end = stem.data() + stem.size();
    const auto [stop, error] = std::from_chars(stem.data() + dash + 1, end, number);
    if (error == std::errc() && stop == end) return {stem.substr(0, dash), number, name};
  }
  return {stem, 1, name};
}

}  // namespace

std::optional<std::string> RecordingsThatGo(pluginsdk::Host& host) {
  if (!host.DataFolderIsTemporary()) return std::nullopt;
  const std::filesystem::path folder(kRecordingsFolder);
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator file(host.DataFolder() / folder, error), end;
       !error && file != end; file.increment(error)) {
    names.push_back((folder / file->path().filename()).generic_string());
  }
  if (names.empty()) return std::nullopt;
  // In the order they were made: a name before the same name with "-2", "-2" before "-10".
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return MadeOrder(a) < MadeOrder(b); });
  const bool one = names.size() == 1;
  std::string message = "quillon-host: the temporary data folder goes at exit, and with it " +
                        (one ? std::string("this recording")
                             : "these " + std::to_string(names.size()) + " recordings") +
                        "; run with --data DIR to keep " + (one ? "it" : "them") + " in DIR:\n";
  for (std::size_t i = 0; i < std::min(names.size(), kNamesShown); ++i) {
    message += "  " + names[i] + '\n';
  }
  if (names.size() > kNamesShown) {
    message += "  ... and " + std::to_string(names.size() - kNamesShown) + " more\n";
  }
  return message;
}

}  // namespace host
