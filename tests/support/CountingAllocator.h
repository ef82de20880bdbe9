#pragma once
#include <functional>

namespace testing_support {

// How many times operator new ran on this thread (in the loaded module too) while `work` ran.
// Available to test programs that link CountingAllocator.cpp.
long AllocationsDuring(const std::function<void()>& work);

}  // namespace testing_support
