#pragma once
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "SdkExport.h"

namespace pluginsdk {

// Replaces `file` with `text` so that neither a crash nor a power cut can leave it empty or torn:
// the text goes into a new file beside it, which is flushed to the disk and then renamed over the
// old one; on Linux the folder is flushed too, so the rename itself is kept. The reason when it
// fails; the old file is then as it was.
PLUGINSDK_API std::optional<std::string> ReplaceFileDurably(const std::filesystem::path& file,
                                                            std::string_view text);

// One write of the start of `text`: how many bytes reached the file, and in `error` why not all.
using WriteSome = std::function<std::size_t(std::string_view text, std::error_code& error)>;
// Writes the whole text through `writeSome`, part after part. Why it stopped short: the write's
// own error, or an I/O error for a write that took nothing and said nothing, which would
// otherwise be repeated for ever.
PLUGINSDK_API std::error_code WriteWhole(std::string_view text, const WriteSome& writeSome);

}  // namespace pluginsdk
