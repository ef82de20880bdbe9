#include "RecordingFile.h"

#include <cerrno>
#include <system_error>

namespace quillon::recording {
namespace {

std::string Utf8(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::optional<std::string> RecordingFile::Create(const std::filesystem::path& folder,
                                                 const std::string& stamp) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    const std::string reason = error ? error.message() : "not a folder";
    return "cannot make the folder '" + Utf8(folder) + "' (" + reason + ")";
  }
  // Only this plugin writes here, and only from its writer thread, so a name found free stays
  // free until it is opened.
  for (int copy = 1;; ++copy) {
    const std::string name = copy == 1 ? stamp : stamp + "-" + std::to_string(copy);
    path_ = folder / (name + ".session");
    if (!std::filesystem::exists(path_, error) && !error) break;
    if (error) return "cannot look into '" + Utf8(folder) + "' (" + error.message() + ")";
  }
  out_.open(path_, std::ios::binary | std::ios::app);
  size_ = 0;
  if (!out_) {
    const int code = errno;
    return "cannot write '" + Utf8(path_) + "' (" +
           (code != 0 ? std::generic_category().message(code) : "cannot open") + ")";
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
  return false;
}

std::string RecordingFile::ShortName() const {
  return Utf8(path_.parent_path().filename()) + "/" + Utf8(path_.filename());
}

}  // namespace quillon::recording
