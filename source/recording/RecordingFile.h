#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::recording {

// A new recording file in `folder`, named after its UTC stamp and copy number (FileName), the
// next copy number when the name is taken. Only ever appended to, and flushed after each piece,
// so a crash leaves whole lines; one that holds nothing when closed is removed.
class RecordingFile {
 public:
  // Makes the folder when missing. On failure, why, as words for the console.
  std::optional<std::string> Create(const std::filesystem::path& folder, const std::string& stamp,
                                    std::uint32_t copy = 1);
  // False, with the reason in `why`, when the text did not all reach the file; the file is then
  // cut back to its size before, so it ends with a whole line, and closed.
  bool Append(std::string_view text, std::string& why);
  void Close();

  // The file name beside its folder's name: recordings/NAME.
  std::string ShortName() const;
  // The whole path, as the player looks for it.
  std::string PathText() const;

 private:
  std::filesystem::path path_;
  std::ofstream out_;
  std::uintmax_t size_ = 0;  // what reached the file
};

// NAME.session for the first recording of a second, NAME-2.session for the second, ...
std::string FileName(const std::string& stamp, std::uint32_t copy);

}  // namespace quillon::recording
