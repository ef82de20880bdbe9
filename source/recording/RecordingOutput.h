#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "RecordingFile.h"

namespace quillon::recording {

// Where a recording's lines go, on the writer thread: gathered as text, then appended in whole
// lines up to a size limit. A fault of the disk or the limit stops the recording for good, said
// once on the console; a file that holds nothing in the end is removed.
class RecordingOutput {
 public:
  using Report = std::function<void(const std::string&)>;

  RecordingOutput(std::uint64_t sizeLimit, Report report)
      : sizeLimit_(sizeLimit), report_(std::move(report)) {}

  // Makes the file, the next copy number when the name is taken; false, said on the console,
  // when it cannot.
  bool Create(const std::filesystem::path& folder, const std::string& stamp, std::uint32_t copy);
  // The lines gathered and not yet appended.
  std::string& Text() { return text_; }
  // Appends them once there is a good piece of them.
  void FlushWhenLarge() {
    if (text_.size() >= kFlushAt) Flush();
  }
  void Flush();
  // Appends what is gathered, then closes the file.
  void Close();
  // A fault or the limit: nothing more reaches the file.
  bool Stopped() const { return stopped_; }
  // Nothing reached the file, so none is left once it is closed.
  bool Empty() const { return bytes_ == 0; }
  // Why the recording stopped, as words for the page; empty when it did not.
  const std::string& Fault() const { return fault_; }
  // recordings/NAME, as the recording names itself; and the file's whole path.
  const std::string& ShortName() const { return shortName_; }
  const std::string& PathText() const { return pathText_; }

 private:
  static constexpr std::size_t kFlushAt = 64 * 1024;

  void Stop();

  const std::uint64_t sizeLimit_;
  const Report report_;
  RecordingFile file_;
  std::string shortName_, pathText_;
  std::string text_;
  std::string fault_;
  std::uint64_t bytes_ = 0;  // what reached the file
  bool stopped_ = false;
};

}  // namespace quillon::recording
