// Replaces the global allocation functions to count them. The module loaded at run time binds to
// these too, since the program's definitions come first in symbol lookup. Each thread counts its
// own: a test measures the thread it runs on (the game thread), not the plugin's writer thread.
#include "CountingAllocator.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace testing_support {

long AllocationsDuring(const std::function<void()>& work) {
  const long before = allocations;
  work();
  return allocations - before;
}

}  // namespace testing_support
