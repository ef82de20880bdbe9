#include "DurableFile.h"

#include "ErrorText.h"

#ifdef _WIN32
#include "WindowsApi.h"

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

std::string Reason(const std::string& what, const std::filesystem::path& file,
                   const std::error_code& error) {
  return what + " " + Utf8(file) + ": " + ErrorText(error);
}

#ifdef _WIN32

std::error_code LastError() {
  return {static_cast<int>(GetLastError()), std::system_category()};
}

// Writes and flushes the new file; the reason when it fails.
std::optional<std::string> WriteFlushed(const std::filesystem::path& file, std::string_view text) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Reason("cannot create", file, LastError());
  std::optional<std::string> failure;
  const auto error = WriteWhole(text, [handle](std::string_view part, std::error_code& fault) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(part.size(), 1u << 30));
    if (!WriteFile(handle, part.data(), chunk, &written, nullptr)) fault = LastError();
    return static_cast<std::size_t>(written);
  });
  if (error) failure = Reason("cannot write", file, error);
  if (!failure && !FlushFileBuffers(handle)) failure = Reason("cannot flush", file, LastError());
  CloseHandle(handle);
  return failure;
}

std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  return "cannot replace it: " + ErrorText(LastError());
}

#else

std::error_code LastError() {
  return {errno, std::generic_category()};
}

std::optional<std::string> WriteFlushed(const std::filesystem::path& file, std::string_view text) {
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) return Reason("cannot create", file, LastError());
  std::optional<std::string> failure;
  const auto error = WriteWhole(text, [descriptor](std::string_view part, std::error_code& fault) {
    for (;;) {
      const ssize_t written = ::write(descriptor, part.data(), part.size());
      if (written >= 0) return static_cast<std::size_t>(written);
      if (errno != EINTR) {
        fault = LastError();
        return std::size_t{0};
      }
    }
  });
  if (error) failure = Reason("cannot write", file, error);
  if (!failure && ::fsync(descriptor) != 0) failure = Reason("cannot flush", file, LastError());
  if (::close(descriptor) != 0 && !failure) failure = Reason("cannot write", file, LastError());
  return failure;
}

std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0)
    return "cannot replace it: " + ErrorText(LastError());
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

std::error_code WriteWhole(std::string_view text, const WriteSome& writeSome) {
  std::error_code error;
  for (std::size_t done = 0; !error && done < text.size();) {
    const std::size_t written = writeSome(text.substr(done), error);
    if (written == 0 && !error) error = std::make_error_code(std::errc::io_error);
    done += written;
  }
  return error;
}

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
