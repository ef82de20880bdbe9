#include "RecordingNames.h"

#include "RecordingFile.h"
#include "RecordingText.h"

namespace quillon::recording {

std::string RecordingPathText(const std::filesystem::path& folder, std::int64_t utcSeconds,
                              std::uint32_t copy) {
  if (folder.empty()) return {};
  return Utf8(folder / FileName(FileStamp(utcSeconds), copy));
}

}  // namespace quillon::recording
