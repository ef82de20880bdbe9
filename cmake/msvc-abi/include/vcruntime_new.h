// <vcruntime_new.h> of this build: the allocation functions' declarations (defined in the static
// runtime, ../runtime/NewDelete.cpp) and the placement forms.
#pragma once
#include <vcruntime.h>

#pragma pack(push, _CRT_PACKING)
#pragma push_macro("new")
#undef new

extern "C++" {

namespace std {
struct nothrow_t {
  explicit nothrow_t() = default;
};
extern const nothrow_t nothrow;
enum class align_val_t : size_t {};
}  // namespace std
#define __NOTHROW_T_DEFINED

[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new(size_t size);
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new[](size_t size);
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new(size_t size,
                                                         const std::nothrow_t&) noexcept;
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new[](size_t size,
                                                           const std::nothrow_t&) noexcept;
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new(size_t size, std::align_val_t alignment);
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new[](size_t size, std::align_val_t alignment);
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new(size_t size, std::align_val_t alignment,
                                                         const std::nothrow_t&) noexcept;
[[nodiscard]] _VCRT_ALLOCATOR void* __cdecl operator new[](size_t size, std::align_val_t alignment,
                                                           const std::nothrow_t&) noexcept;

void __cdecl operator delete(void* block) noexcept;
void __cdecl operator delete[](void* block) noexcept;
void __cdecl operator delete(void* block, size_t size) noexcept;
void __cdecl operator delete[](void* block, size_t size) noexcept;
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void* block, std::align_val_t alignment) noexcept;
void __cdecl operator delete[](void* block, std::align_val_t alignment) noexcept;
void __cdecl operator delete(void* block, size_t size, std::align_val_t alignment) noexcept;
void __cdecl operator delete[](void* block, size_t size, std::align_val_t alignment) noexcept;
void __cdecl operator delete(void* block, std::align_val_t alignment,
                             const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void* block, std::align_val_t alignment,
                               const std::nothrow_t&) noexcept;

#define __PLACEMENT_NEW_INLINE
#define __PLACEMENT_VEC_NEW_INLINE
[[nodiscard]] inline void* __cdecl operator new(size_t, void* where) noexcept {
  return where;
}
[[nodiscard]] inline void* __cdecl operator new[](size_t, void* where) noexcept {
  return where;
}
inline void __cdecl operator delete(void*, void*) noexcept {}
inline void __cdecl operator delete[](void*, void*) noexcept {}

}  // extern "C++"

#pragma pop_macro("new")
#pragma pack(pop)
