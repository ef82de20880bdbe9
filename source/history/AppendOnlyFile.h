#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
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
  // Its size when it was opened.
  std::uint64_t Size() const { return size_; }
  // Its last `bytes` bytes as it was opened, all of it when shorter; none when they cannot be
  // read.
  std::optional<std::string> Tail(std::size_t bytes);

  struct Appended {
    std::size_t bytes = 0;  // how much of the text reached the file, from its start
    std::error_code error;  // why the rest did not
  };
  Appended Append(std::string_view text);

  // Closes the file. Data the system held back (a network folder, a quota) may fail to be
  // written only here; the file's size then tells what it holds.
  std::error_code Close();

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

#ifndef _WIN32
// How the file's descriptor is closed. Tests put a close in its place that fails as one on a
// network folder or under a quota does.
extern int (*closeDescriptor)(int descriptor);
#endif

}  // namespace quillon
