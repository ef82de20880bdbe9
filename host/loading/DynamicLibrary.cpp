#include "DynamicLibrary.h"

#include <stdexcept>
#include <string>

#include "PathText.h"

#if defined(_WIN32)
#include "WindowsApi.h"
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace host {
namespace {

// The file itself, wherever the program runs: the loaders look a relative name up in their
// search paths instead.
std::filesystem::path FromCurrentFolder(const std::filesystem::path& file) {
  std::error_code error;
  auto absolute = std::filesystem::absolute(file, error);
  return error ? file : absolute;
}

}  // namespace

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
    : handle_(::LoadLibraryW(FromCurrentFolder(file).c_str())) {
  if (handle_ == nullptr) {
    throw std::runtime_error(PathText(file) +
                             ": cannot load the library: " + SystemMessage(::GetLastError()));
  }
}

DynamicLibrary::~DynamicLibrary() {
  ::FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::filesystem::path DynamicLibrary::File() const {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(static_cast<HMODULE>(handle_), name.data(),
                                              static_cast<DWORD>(name.size()));
    if (length < name.size()) return name.substr(0, length);
    name.resize(name.size() * 2);  // cut short: try again with more room
  }
}

#else

DynamicLibrary::DynamicLibrary(const std::filesystem::path& file)
    : handle_(::dlopen(FromCurrentFolder(file).c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) {
    throw std::runtime_error(PathText(file) + ": cannot load the library: " + ::dlerror());
  }
}

DynamicLibrary::~DynamicLibrary() {
  ::dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
  return ::dlsym(handle_, name);
}

std::filesystem::path DynamicLibrary::File() const {
  const link_map* map = nullptr;
  if (::dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return {};
  return map->l_name;
}

#endif

}  // namespace host
