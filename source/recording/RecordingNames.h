#pragma once
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

namespace quillon::recording {

// The whole path of the recording in `folder` that began at `utcSeconds`, with its copy number
// among those of the same second; empty when there is no folder.
std::string RecordingPathText(const std::filesystem::path& folder, std::int64_t utcSeconds,
                              std::uint32_t copy);

// Names each recording of a load on the game thread, when it decides to record: the second its
// game event began, with copy numbers -2, -3, ... for later ones of the same second. The writer
// takes the next copy number only where a file of that name is already there.
class RecordingNames {
 public:
  // The recordings' folder; empty when the host has none.
  explicit RecordingNames(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}

  // The copy number of a recording that began at `utcSeconds`.
  std::uint32_t Next(std::int64_t utcSeconds) {
    copy_ = utcSeconds == lastSecond_ ? copy_ + 1 : 1;
    lastSecond_ = utcSeconds;
    return copy_;
  }
  // Its file's whole path, as the player looks for it; empty when there is no folder.
  std::string PathText(std::int64_t utcSeconds, std::uint32_t copy) const {
    return RecordingPathText(folder_, utcSeconds, copy);
  }

 private:
  std::filesystem::path folder_;
  std::int64_t lastSecond_ = std::numeric_limits<std::int64_t>::min();
  std::uint32_t copy_ = 0;
};

}  // namespace quillon::recording
