#pragma once
#include <mutex>
#include <string>

namespace quillon::recording {

// What the settings page says of the recording: its file's whole path, from the moment the game
// thread decides to record, so the page does not wait on the writer thread, until the recording
// ends or its writer stops it. Any thread.
class RecordingStatus {
 public:
  // Game thread: a recording to `path` is under way; empty: none.
  void Show(std::string path) {
    const std::lock_guard lock(mutex_);
    path_ = std::move(path);
  }
  // Writer thread: the file of `path` goes by `now` instead (empty: it stopped). Nothing changes
  // when the game thread has gone on to another recording meanwhile.
  void Replace(const std::string& path, std::string now) {
    const std::lock_guard lock(mutex_);
    if (path_ == path) path_ = std::move(now);
  }
  std::string Path() const {
    const std::lock_guard lock(mutex_);
    return path_;
  }

 private:
  mutable std::mutex mutex_;
  std::string path_;
};

}  // namespace quillon::recording
