#include "RecordingFile.h"

#include <cerrno>
#include <system_error>

#include "RecordingText.h"

namespace quillon::recording {

std::string FileName(const std::string& stamp, std::uint32_t copy) {
  return (copy <= 1 ? stamp : stamp + "-" + std::to_string(copy)) + ".session";
}

std::optional<std::string> RecordingFile::Create(const std::filesystem::path& folder,
                                                 const std::string& stamp, std::uint32_t copy) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    const std::string reason = error ? error.message() : "not a folder";
    return "cannot make the folder '" + Utf8(folder) + "' (" + reason + ")";
  }
  // Only this plugin writes here, and only from its writer thread, so a name found free stays
  // free until it is opened.
  for (;; ++copy) {
    path_ = folder / FileName(stamp, copy);
    if (!std::filesystem::exists(path_, error) && !error) break;
    if (error) {
      path_.clear();
      return "cannot look into '" + Utf8(folder) + "' (" + error.message() + ")";
    }
  }
  out_.open(path_, std::ios::binary | std::ios::app);
  size_ = 0;
  if (!out_) {
    const int code = errno;
    const std::string why = "cannot write '" + Utf8(path_) + "' (" +
                            (code != 0 ? std::generic_category().message(code) : "cannot open") +
                            ")";
    path_.clear();
    return why;
  }
  return std::nullopt;
}

bool RecordingFile::Append(std::string_view text, std::string& why) {
  errno = 0;
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.flush();
  if (out_) {
    size_ += text.size();
    return true;
  }
  const int code = errno;
  why = code != 0 ? std::generic_category().message(code) : "the write failed";
  // A full disk may have taken part of it: a torn last line would make the script unreadable.
  out_.close();
  std::error_code ignored;
  std::filesystem::resize_file(path_, size_, ignored);
  Close();
  return false;
}

void RecordingFile::Close() {
  if (path_.empty()) return;
  out_.close();
  // A disk full from the first write, say: an empty file is no recording.
  std::error_code ignored;
  if (size_ == 0) std::filesystem::remove(path_, ignored);
  path_.clear();
}

std::string RecordingFile::PathText() const {
  return Utf8(path_);
}

std::string RecordingFile::ShortName() const {
  return Utf8(path_.parent_path().filename()) + "/" + Utf8(path_.filename());
}

}  // namespace quillon::recording
