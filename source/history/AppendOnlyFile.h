#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace quillon {

// A file opened only to be added to: made if missing, never truncated. Every write goes to the
// end. On Windows other programs may read and write it while it is open, as a spreadsheet that
// shows the file expects.
class AppendOnlyFile {
 public:
  explicit AppendOnlyFile(const std::filesystem::path& path);
  ~AppendOnlyFile();
  AppendOnlyFile(const AppendOnlyFile&) = delete;
  AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;

  // Why the file could not be opened; none when it is open.
  const std::error_code& OpenError() const { return error_; }
  std::uint64_t Size() const { return size_; }
  // The last byte of the file; none when it is empty or cannot be read.
  std::optional<char> LastByte();

  struct Appended {
    std::size_t bytes = 0;  // how much of the text reached the file, from its start
    std::error_code error;  // why the rest did not
  };
  Appended Append(std::string_view text);

 private:
  // One write from the start of `text`: how much of it reached the file, and why not all of it.
  std::size_t WriteSome(std::string_view text, std::error_code& error);

#ifdef _WIN32
  void* handle_;
#else
  int descriptor_;
#endif
  std::error_code error_;
  std::uint64_t size_ = 0;
};

}  // namespace quillon
