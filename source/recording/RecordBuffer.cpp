#include "RecordBuffer.h"

#include <algorithm>
#include <bit>

namespace quillon::recording {

RecordBuffer::RecordBuffer(std::size_t capacity, std::size_t keptRoom)
    : capacity_(std::bit_ceil(std::max<std::size_t>(capacity, keptRoom + 2))),
      ordinaryRoom_(capacity_ - keptRoom),
      mask_(capacity_ - 1),
      slots_(std::make_unique<StepRecord[]>(capacity_)) {}

std::size_t RecordBuffer::Pop(std::span<StepRecord> out) {
  const std::size_t popped = popped_.load(std::memory_order_relaxed);
  const std::size_t available = pushed_.load(std::memory_order_acquire) - popped;
  const std::size_t count = std::min(available, out.size());
  for (std::size_t i = 0; i < count; ++i) out[i] = slots_[(popped + i) & mask_];
  popped_.store(popped + count, std::memory_order_release);
  return count;
}

}  // namespace quillon::recording
