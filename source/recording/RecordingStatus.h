#pragma once
#include <mutex>
#include <string>

namespace quillon::recording {

// What the settings page says of the recording: its file's whole path, from the moment the game
// thread decides to record, so the page does not wait on the writer thread, until the recording
// ends or its writer stops it; or, where no file could be written, that the practice is not
// recorded and why. The game thread names the file before the writer can act on the recording,
// and the writer speaks of a recording by that name, so its word always comes after the game
// thread's and never reaches a later recording's line. Any thread.
class RecordingStatus {
 public:
  // Game thread, before handing the recording to the writer: it is under way, to `path`;
  // empty: none.
  void Show(std::string path) {
    const std::lock_guard lock(mutex_);
    named_ = path;
    path_ = std::move(path);
    why_.clear();
  }
  // Game thread, where no file can even be named (the host has no data folder): not recorded,
  // for the reason `why`.
  void Refuse(std::string why) {
    const std::lock_guard lock(mutex_);
    named_.clear();
    path_.clear();
    why_ = std::move(why);
  }
  // Writer thread: the file named `named` goes by `now` instead (empty: it stopped).
  void Replace(const std::string& named, std::string now) {
    const std::lock_guard lock(mutex_);
    if (named_ == named) path_ = std::move(now);
  }
  // Writer thread: no file is written for the recording named `named`, for the reason `why`.
  void NotRecorded(const std::string& named, std::string why) {
    const std::lock_guard lock(mutex_);
    if (named_ != named) return;
    path_.clear();
    why_ = std::move(why);
  }
  // The file being written; empty when none is.
  std::string Path() const {
    const std::lock_guard lock(mutex_);
    return path_;
  }
  // The page's line; empty when it has none.
  std::string Line() const {
    const std::lock_guard lock(mutex_);
    if (!why_.empty()) return "This practice is not recorded: " + why_;
    return path_.empty() ? std::string() : "Recording to '" + path_ + "'";
  }

 private:
  mutable std::mutex mutex_;
  std::string named_;  // as the game thread named the recording
  std::string path_;
  std::string why_;
};

}  // namespace quillon::recording
