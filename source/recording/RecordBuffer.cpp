#include "RecordBuffer.h"

#include <algorithm>
#include <bit>

namespace quillon::recording {

RecordBuffer::RecordBuffer(std::size_t capacity)
    : capacity_(std::bit_ceil(std::max<std::size_t>(capacity, 2))),
      mask_(capacity_ - 1),
      slots_(std::make_unique<StepRecord[]>(capacity_)) {}

std::size_t RecordBuffer::TryPush(const StepRecord& record) {
  const std::size_t pushed = pushed_.load(std::memory_order_relaxed);
  const std::size_t held = pushed - popped_.load(std::memory_order_acquire);
  if (held >= capacity_) return 0;
  slots_[pushed & mask_] = record;
  pushed_.store(pushed + 1, std::memory_order_release);
  return held + 1;
}

std::size_t RecordBuffer::Free() const {
  return capacity_ -
         (pushed_.load(std::memory_order_relaxed) - popped_.load(std::memory_order_acquire));
}

std::size_t RecordBuffer::Pop(std::span<StepRecord> out) {
  const std::size_t popped = popped_.load(std::memory_order_relaxed);
  const std::size_t available = pushed_.load(std::memory_order_acquire) - popped;
  const std::size_t count = std::min(available, out.size());
  for (std::size_t i = 0; i < count; ++i) out[i] = slots_[(popped + i) & mask_];
  popped_.store(popped + count, std::memory_order_release);
  return count;
}

}  // namespace quillon::recording
