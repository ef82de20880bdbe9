#include "ErrorText.h"

#ifdef _WIN32
#include "WindowsApi.h"
#endif

namespace pluginsdk {
namespace {

#ifdef _WIN32

// The system's text for an error code, through the wide interface: the narrow one would give it
// in the ANSI code page. Empty when the system has none.
std::string SystemText(DWORD code) {
  wchar_t* wide = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&wide), 0, nullptr);
  std::string text;
  if (length > 0) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0,
                                          nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), bytes, nullptr,
                        nullptr);
  }
  LocalFree(wide);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.ends_with('.')) text.pop_back();
  return text;
}

#endif

}  // namespace

std::string ErrorText(const std::error_code& error) {
#ifdef _WIN32
  if (error.category() == std::system_category()) {
    std::string text = SystemText(static_cast<DWORD>(error.value()));
    if (!text.empty()) return text;
  }
#endif
  return error.message();
}

}  // namespace pluginsdk
