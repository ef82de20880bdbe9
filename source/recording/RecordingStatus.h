#pragma once
#include <cstdint>
#include <mutex>
#include <string>

namespace quillon::recording {

// What the settings page says of the recording while its box is ticked: that no practice is
// under way, that the file is being opened, the file being written, or that the practice is not
// (or no longer) recorded and why. Each recording goes by its number (the first is 1), which the
// game thread and the writer count alike; what is said of a recording that is no longer the
// latest is ignored, so a writer behind the game never takes over a later recording's line, and
// the name shown is always the writer's, once it has chosen it. Any thread.
class RecordingStatus {
 public:
  // Game thread: recording `number` is handed to the writer, which opens its file.
  void Opening(std::uint64_t number) {
    const std::lock_guard lock(mutex_);
    // Not where the writer has spoken of it already.
    if (number <= number_) return;
    number_ = number;
    closed_ = false;
    said_ = Said::kOpening;
  }
  // Game thread: recording `number` (and any before it) ended; the page says none is under way.
  void Ended(std::uint64_t number) { FromGame(number, Said::kEnded, {}); }
  // Game thread: a practice after recording `latest` could not be recorded at all, for the
  // reason `why`; said until the next recording.
  void Refuse(std::uint64_t latest, std::string why) {
    FromGame(latest, Said::kRefused, std::move(why));
  }
  // Writer thread: recording `number` is written to `path`.
  void Writing(std::uint64_t number, std::string path) { FromWriter(number, Said::kWriting, path); }
  // Writer thread: no file is written for recording `number`, for the reason `why`.
  void NotRecorded(std::uint64_t number, std::string why) {
    FromWriter(number, Said::kRefused, std::move(why));
  }
  // Writer thread: recording `number` stopped before its end (a fault or the size limit).
  void Stopped(std::uint64_t number, std::string why) {
    FromWriter(number, Said::kStopped, std::move(why));
  }

  // The file being written; empty when none is.
  std::string Path() const {
    const std::lock_guard lock(mutex_);
    return said_ == Said::kWriting ? text_ : std::string();
  }
  // The page's line while the box is ticked.
  std::string Line() const {
    const std::lock_guard lock(mutex_);
    switch (said_) {
      case Said::kOpening:
        return "Recording this practice: opening its file";
      case Said::kWriting:
        return "Recording to '" + text_ + "'";
      case Said::kRefused:
        return "This practice is not recorded: " + text_;
      case Said::kStopped:
        return "This practice is no longer recorded: " + text_;
      case Said::kNothing:
      case Said::kEnded:
        break;
    }
    return "Not recording: no free play or custom training under way";
  }

 private:
  enum class Said : std::uint8_t { kNothing, kOpening, kWriting, kRefused, kStopped, kEnded };

  void FromGame(std::uint64_t number, Said said, std::string text) {
    const std::lock_guard lock(mutex_);
    if (number < number_) return;
    number_ = number;
    closed_ = true;
    said_ = said;
    text_ = std::move(text);
  }
  void FromWriter(std::uint64_t number, Said said, std::string text) {
    const std::lock_guard lock(mutex_);
    if (number < number_ || (number == number_ && closed_)) return;
    number_ = number;
    closed_ = false;
    said_ = said;
    text_ = std::move(text);
  }

  mutable std::mutex mutex_;
  std::uint64_t number_ = 0;  // the latest recording spoken of
  bool closed_ = false;       // the game thread has done with it
  Said said_ = Said::kNothing;
  std::string text_;
};

}  // namespace quillon::recording
