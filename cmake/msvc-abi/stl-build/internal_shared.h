// The Visual C++ runtime's internal header that Microsoft's STL sources include: the runtime's
// headers, the few newer Windows declarations filesystem.cpp uses that Wine's headers lack (values
// as Windows' API documentation gives them), and an owner of memory from malloc.
#pragma once
#include <crtdbg.h>
#include <stdlib.h>
#include <vcruntime.h>

#ifdef __cplusplus
#include <windows.h>

#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif
#ifndef FILE_DISPOSITION_FLAG_DELETE
#define FILE_DISPOSITION_FLAG_DO_NOT_DELETE 0x0
#define FILE_DISPOSITION_FLAG_DELETE 0x1
#define FILE_DISPOSITION_FLAG_POSIX_SEMANTICS 0x2
#define FILE_DISPOSITION_FLAG_FORCE_IMAGE_SECTION_CHECK 0x4
#define FILE_DISPOSITION_FLAG_ON_CLOSE 0x8
#define FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE 0x10
#endif
typedef struct _FILE_DISPOSITION_INFO_EX {
  DWORD Flags;
} FILE_DISPOSITION_INFO_EX, *PFILE_DISPOSITION_INFO_EX;
#ifndef __WINE_FILE_ID_128_DEFINED
typedef struct _FILE_ID_128_OF_STL {
  BYTE Identifier[16];
} FILE_ID_128_OF_STL;
typedef struct _FILE_ID_INFO {
  ULONGLONG VolumeSerialNumber;
  FILE_ID_128_OF_STL FileId;
} FILE_ID_INFO, *PFILE_ID_INFO;
#endif
extern "C" DWORD WINAPI GetTempPath2W(DWORD length, LPWSTR buffer);
extern "C" __declspec(dllimport) unsigned int __cdecl ___lc_codepage_func(void);

template <class T>
class __crt_unique_heap_ptr {
 public:
  __crt_unique_heap_ptr() noexcept = default;
  explicit __crt_unique_heap_ptr(T* owned) noexcept : owned_(owned) {}
  __crt_unique_heap_ptr(const __crt_unique_heap_ptr&) = delete;
  __crt_unique_heap_ptr& operator=(const __crt_unique_heap_ptr&) = delete;
  __crt_unique_heap_ptr(__crt_unique_heap_ptr&& other) noexcept : owned_(other.detach()) {}
  __crt_unique_heap_ptr& operator=(__crt_unique_heap_ptr&& other) noexcept {
    if (this != &other) {
      free(owned_);
      owned_ = other.detach();
    }
    return *this;
  }
  ~__crt_unique_heap_ptr() { free(owned_); }
  T* get() const noexcept { return owned_; }
  T* detach() noexcept {
    T* const owned = owned_;
    owned_ = nullptr;
    return owned;
  }
  explicit operator bool() const noexcept { return owned_ != nullptr; }

 private:
  T* owned_ = nullptr;
};
#define _malloc_crt_t(type, count) \
  (__crt_unique_heap_ptr<type>(static_cast<type*>(malloc((count) * sizeof(type)))))
#define _calloc_crt_t(type, count) \
  (__crt_unique_heap_ptr<type>(static_cast<type*>(calloc((count), sizeof(type)))))
#endif
