#pragma once
#include <atomic>
#include <cstddef>
#include <memory>
#include <span>

#include "StepRecord.h"

namespace quillon::recording {

// A ring of step records with one writer (the game thread) and one reader (the recording's
// writer thread), made once with a fixed room. Neither side takes a lock or allocates.
class RecordBuffer {
 public:
  // The room is `capacity` rounded up to a power of two.
  explicit RecordBuffer(std::size_t capacity);
  RecordBuffer(const RecordBuffer&) = delete;
  RecordBuffer& operator=(const RecordBuffer&) = delete;

  // Game thread: the next free slot, to be filled and then published with Commit; null when the
  // ring is full. The reader's progress is looked at only when the ring seems full, so a step
  // does not touch the reader's cache line.
  StepRecord* Claim() {
    const std::size_t pushed = pushed_.load(std::memory_order_relaxed);
    if (pushed - poppedSeen_ >= capacity_) {
      poppedSeen_ = popped_.load(std::memory_order_acquire);
      if (pushed - poppedSeen_ >= capacity_) return nullptr;
    }
    return &slots_[pushed & mask_];
  }
  void Commit() {
    pushed_.store(pushed_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
  }
  // Game thread. False when the ring is full; nothing is stored then.
  bool TryPush(const StepRecord& record) {
    StepRecord* slot = Claim();
    if (slot == nullptr) return false;
    *slot = record;
    Commit();
    return true;
  }
  // Game thread: records pushed since the ring was made.
  std::size_t Pushed() const { return pushed_.load(std::memory_order_relaxed); }
  // Game thread: records waiting for the reader now.
  std::size_t Held() {
    poppedSeen_ = popped_.load(std::memory_order_acquire);
    return pushed_.load(std::memory_order_relaxed) - poppedSeen_;
  }
  std::size_t Free() { return capacity_ - Held(); }
  std::size_t Capacity() const { return capacity_; }
  // Reader: moves up to out.size() records, oldest first, into `out`; how many it moved.
  std::size_t Pop(std::span<StepRecord> out);

 private:
  const std::size_t capacity_;
  const std::size_t mask_;
  std::unique_ptr<StepRecord[]> slots_;
  // Apart, so the two threads do not share a cache line for their own counters.
  alignas(64) std::atomic<std::size_t> pushed_{0};
  std::size_t poppedSeen_ = 0;  // game thread: the reader's progress when last looked at
  alignas(64) std::atomic<std::size_t> popped_{0};
};

}  // namespace quillon::recording
