#pragma once
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("quillon-test-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Points the system's temporary folder (TMPDIR) at `place` while it lives.
class TemporaryFolderAt {
 public:
  explicit TemporaryFolderAt(const std::filesystem::path& place) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    ::setenv("TMPDIR", place.c_str(), 1);
  }
  ~TemporaryFolderAt() {
    if (old_) {
      ::setenv("TMPDIR", old_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
  }
  TemporaryFolderAt(const TemporaryFolderAt&) = delete;
  TemporaryFolderAt& operator=(const TemporaryFolderAt&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace testing_support
