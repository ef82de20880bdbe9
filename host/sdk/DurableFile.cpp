#include "DurableFile.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace pluginsdk {
namespace {

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

#ifdef _WIN32

std::string LastError() {
  return std::system_category().message(static_cast<int>(GetLastError()));
}

// Writes and flushes the new file; the reason when it fails.
std::optional<std::string> WriteFlushed(const std::filesystem::path& file, std::string_view text) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return "cannot create " + Utf8(file) + ": " + LastError();
  std::optional<std::string> failure;
  for (std::size_t done = 0; !failure && done < text.size();) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30));
    if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr)) {
      failure = "cannot write " + Utf8(file) + ": " + LastError();
    }
    done += written;
  }
  if (!failure && !FlushFileBuffers(handle)) {
    failure = "cannot flush " + Utf8(file) + ": " + LastError();
  }
  CloseHandle(handle);
  return failure;
}

std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  return "cannot replace it: " + LastError();
}

#else

std::string Reason(const std::string& what, const std::filesystem::path& file) {
  return what + " " + Utf8(file) + ": " + std::generic_category().message(errno);
}

std::optional<std::string> WriteFlushed(const std::filesystem::path& file, std::string_view text) {
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) return Reason("cannot create", file);
  std::optional<std::string> failure;
  for (std::size_t done = 0; !failure && done < text.size();) {
    const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
    if (written < 0 && errno != EINTR) failure = Reason("cannot write", file);
    if (written > 0) done += static_cast<std::size_t>(written);
  }
  if (!failure && ::fsync(descriptor) != 0) failure = Reason("cannot flush", file);
  if (::close(descriptor) != 0 && !failure) failure = Reason("cannot write", file);
  return failure;
}

std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return "cannot replace it: " + std::generic_category().message(errno);
  }
  // The rename lives in the folder: flush it too. A folder that cannot be flushed has the new
  // file all the same, so this is no failure.
  const auto folder = to.parent_path().empty() ? std::filesystem::path(".") : to.parent_path();
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
  return std::nullopt;
}

#endif

}  // namespace

std::optional<std::string> ReplaceFileDurably(const std::filesystem::path& file,
                                              std::string_view text) {
  auto temporary = file;
  temporary += ".new";
  auto failure = WriteFlushed(temporary, text);
  if (!failure) failure = RenameOver(temporary, file);
  if (failure) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return failure;
}

}  // namespace pluginsdk
