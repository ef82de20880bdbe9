#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pluginsdk {

// Replaces `file` with `text` so that neither a crash nor a power cut can leave it empty or torn:
// the text goes into a new file beside it, which is flushed to the disk and then renamed over the
// old one; on Linux the folder is flushed too, so the rename itself is kept. The reason when it
// fails; the old file is then as it was.
std::optional<std::string> ReplaceFileDurably(const std::filesystem::path& file,
                                              std::string_view text);

}  // namespace pluginsdk
