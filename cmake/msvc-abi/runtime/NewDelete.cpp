// The allocation functions, as Microsoft's static runtime has them: malloc (or _aligned_malloc),
// the new handler when memory runs out, std::bad_alloc when it gives up.
#include <malloc.h>
#include <new.h>
#include <stdlib.h>

#include <new>

namespace {

void* Allocate(size_t size) {
  for (;;) {
    if (void* const block = malloc(size == 0 ? 1 : size)) {
      return block;
    }
    if (_callnewh(size) == 0) {
      throw std::bad_alloc();
    }
  }
}

void* AllocateAligned(size_t size, std::align_val_t alignment) {
  for (;;) {
    if (void* const block = _aligned_malloc(size == 0 ? 1 : size, static_cast<size_t>(alignment))) {
      return block;
    }
    if (_callnewh(size) == 0) {
      throw std::bad_alloc();
    }
  }
}

template <class Allocation>
void* AllocateOrNull(Allocation allocation) noexcept {
  try {
    return allocation();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

void* __cdecl operator new(size_t size) {
  return Allocate(size);
}
void* __cdecl operator new[](size_t size) {
  return Allocate(size);
}
void* __cdecl operator new(size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull([size] { return Allocate(size); });
}
void* __cdecl operator new[](size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull([size] { return Allocate(size); });
}
void* __cdecl operator new(size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* __cdecl operator new(size_t size, std::align_val_t alignment,
                           const std::nothrow_t&) noexcept {
  return AllocateOrNull([size, alignment] { return AllocateAligned(size, alignment); });
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment,
                             const std::nothrow_t&) noexcept {
  return AllocateOrNull([size, alignment] { return AllocateAligned(size, alignment); });
}

void __cdecl operator delete(void* block) noexcept {
  free(block);
}
void __cdecl operator delete[](void* block) noexcept {
  free(block);
}
void __cdecl operator delete(void* block, size_t) noexcept {
  free(block);
}
void __cdecl operator delete[](void* block, size_t) noexcept {
  free(block);
}
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept {
  free(block);
}
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept {
  free(block);
}
void __cdecl operator delete(void* block, std::align_val_t) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
