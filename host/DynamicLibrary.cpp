#include "DynamicLibrary.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

#if defined(_WIN32)

DynamicLibrary::DynamicLibrary(const std::filesystem::path& file)
    : handle_(::LoadLibraryW(file.c_str())) {
  if (handle_ == nullptr) {
    throw std::runtime_error(file.string() + ": cannot load the library (error " +
                             std::to_string(::GetLastError()) + ")");
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
