#pragma once
#include <filesystem>
#include <string>

namespace host {

// A shared library opened at run time (dlopen, or LoadLibrary on Windows); closed on destruction.
class DynamicLibrary {
 public:
  // Opens that very file: a relative path is taken from the current folder, never looked up in
  // the system's library search. Throws std::runtime_error naming the file when it cannot be
  // opened.
  explicit DynamicLibrary(const std::filesystem::path& file);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Address of an exported symbol, or null.
  void* Symbol(const char* name) const;
  // The file the system loaded, as it reports it.
  std::filesystem::path File() const;

 private:
  void* handle_;
};

}  // namespace host
