#include "AppendOnlyFile.h"

#include <algorithm>

#ifdef _WIN32
#include "WindowsApi.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#endif

namespace quillon {

#ifdef _WIN32

namespace {

std::error_code LastError() {
  return {static_cast<int>(GetLastError()), std::system_category()};
}

}  // namespace

AppendOnlyFile::AppendOnlyFile(const std::filesystem::path& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (handle_ == INVALID_HANDLE_VALUE) {
    error_ = LastError();
    return;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) {
    error_ = LastError();
    return;
  }
  size_ = static_cast<std::uint64_t>(size.QuadPart);
}

AppendOnlyFile::~AppendOnlyFile() {
  Close();
}

std::error_code AppendOnlyFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return {};
  const bool closed = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  return closed ? std::error_code{} : LastError();
}

std::optional<std::string> AppendOnlyFile::Tail(std::size_t bytes) {
  if (error_) return std::nullopt;
  const std::uint64_t start = size_ - std::min<std::uint64_t>(size_, bytes);
  std::string tail(static_cast<std::size_t>(size_ - start), '\0');
  if (tail.empty()) return tail;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(start);
  at.OffsetHigh = static_cast<DWORD>(start >> 32);
  DWORD read = 0;
  if (!ReadFile(handle_, tail.data(), static_cast<DWORD>(tail.size()), &read, &at) ||
      read != tail.size()) {
    return std::nullopt;
  }
  return tail;
}

std::size_t AppendOnlyFile::WriteSome(std::string_view text, std::error_code& error) {
  const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
  DWORD written = 0;
  if (!WriteFile(handle_, text.data(), chunk, &written, nullptr)) error = LastError();
  return written;
}

#else

AppendOnlyFile::AppendOnlyFile(const std::filesystem::path& path)
    : descriptor_(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {
  if (descriptor_ < 0) {
    error_ = {errno, std::generic_category()};
    return;
  }
  struct stat status {};
  if (::fstat(descriptor_, &status) != 0) {
    error_ = {errno, std::generic_category()};
    return;
  }
  // A device such as /dev/full has no size; it counts as empty.
  if (S_ISREG(status.st_mode)) size_ = static_cast<std::uint64_t>(status.st_size);
}

int (*closeDescriptor)(int descriptor) = ::close;

AppendOnlyFile::~AppendOnlyFile() {
  Close();
}

std::error_code AppendOnlyFile::Close() {
  if (descriptor_ < 0) return {};
  // Never called again after a failure, even EINTR: the descriptor is gone either way on Linux.
  const int result = closeDescriptor(std::exchange(descriptor_, -1));
  return result == 0 ? std::error_code{} : std::error_code{errno, std::generic_category()};
}

std::optional<std::string> AppendOnlyFile::Tail(std::size_t bytes) {
  if (error_) return std::nullopt;
  const std::uint64_t start = size_ - std::min<std::uint64_t>(size_, bytes);
  std::string tail(static_cast<std::size_t>(size_ - start), '\0');
  if (tail.empty()) return tail;
  if (::pread(descriptor_, tail.data(), tail.size(), static_cast<off_t>(start)) !=
      static_cast<ssize_t>(tail.size())) {
    return std::nullopt;
  }
  return tail;
}

std::size_t AppendOnlyFile::WriteSome(std::string_view text, std::error_code& error) {
  for (;;) {
    const ssize_t written = ::write(descriptor_, text.data(), text.size());
    if (written >= 0) return static_cast<std::size_t>(written);
    if (errno != EINTR) {
      error = {errno, std::generic_category()};
      return 0;
    }
  }
}

#endif

AppendOnlyFile::Appended AppendOnlyFile::Append(std::string_view text) {
  Appended appended;
  appended.error = error_;
  while (!appended.error && appended.bytes < text.size()) {
    const std::size_t written = WriteSome(text.substr(appended.bytes), appended.error);
    // A write that takes nothing and says nothing would repeat for ever.
    if (written == 0 && !appended.error) appended.error = std::make_error_code(std::errc::io_error);
    appended.bytes += written;
  }
  return appended;
}

}  // namespace quillon
