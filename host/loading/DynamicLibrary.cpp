#include "DynamicLibrary.h"

#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

#if defined(_WIN32)

namespace {

// The system's own words for an error code, with its number.
std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "unknown error";
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message + " (error " + std::to_string(error) + ")";
}

}  // namespace

DynamicLibrary::DynamicLibrary(const std::filesystem::path& file)
    : handle_(::LoadLibraryW(file.c_str())) {
  if (handle_ == nullptr) {
    throw std::runtime_error(file.string() +
                             ": cannot load the library: " + SystemMessage(::GetLastError()));
  }
}

DynamicLibrary::~DynamicLibrary() {
  ::FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

#else

DynamicLibrary::DynamicLibrary(const std::filesystem::path& file)
    : handle_(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) {
    throw std::runtime_error(file.string() + ": cannot load the library: " + ::dlerror());
  }
}

DynamicLibrary::~DynamicLibrary() {
  ::dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
  return ::dlsym(handle_, name);
}

#endif

}  // namespace host
