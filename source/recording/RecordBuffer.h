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
  // The room is `capacity` rounded up to a power of two; its last `keptRoom` slots are kept for
  // the records that change the writer's state, so a ring filled by ordinary steps still takes
  // them (ClaimKept).
  RecordBuffer(std::size_t capacity, std::size_t keptRoom);
  RecordBuffer(const RecordBuffer&) = delete;
  RecordBuffer& operator=(const RecordBuffer&) = delete;

  // Game thread: the next free slot outside the kept room, to be filled and then published with
  // Commit; null when none. The reader's progress is looked at only when the ring seems full,
  // so a step does not touch the reader's cache line.
  StepRecord* Claim() { return ClaimWithin(ordinaryRoom_); }
  // Game thread: the next free slot, the kept room included; null when the ring is full.
  StepRecord* ClaimKept() { return ClaimWithin(capacity_); }
  // Returns the records pushed so far, this one included.
  std::size_t Commit() {
    const std::size_t pushed = pushed_.load(std::memory_order_relaxed) + 1;
    pushed_.store(pushed, std::memory_order_release);
    return pushed;
  }
  // Game thread: records pushed since the ring was made.
  std::size_t Pushed() const { return pushed_.load(std::memory_order_relaxed); }
  // Game thread: records waiting for the reader now.
  std::size_t Held() {
    poppedSeen_ = popped_.load(std::memory_order_acquire);
    return pushed_.load(std::memory_order_relaxed) - poppedSeen_;
  }
  // Game thread: free slots, the kept room included.
  std::size_t Free() { return capacity_ - Held(); }
  // Game thread: free slots outside the kept room.
  std::size_t FreeOutsideKept() {
    const std::size_t held = Held();
    return held < ordinaryRoom_ ? ordinaryRoom_ - held : 0;
  }
  std::size_t Capacity() const { return capacity_; }
  // Reader: moves up to out.size() records, oldest first, into `out`; how many it moved.
  std::size_t Pop(std::span<StepRecord> out);

 private:
  StepRecord* ClaimWithin(std::size_t room) {
    const std::size_t pushed = pushed_.load(std::memory_order_relaxed);
    if (pushed - poppedSeen_ >= room) {
      poppedSeen_ = popped_.load(std::memory_order_acquire);
      if (pushed - poppedSeen_ >= room) return nullptr;
    }
    return &slots_[pushed & mask_];
  }

  const std::size_t capacity_;
  const std::size_t ordinaryRoom_;
  const std::size_t mask_;
  std::unique_ptr<StepRecord[]> slots_;
  // Apart, so the two threads do not share a cache line for their own counters.
  alignas(64) std::atomic<std::size_t> pushed_{0};
  std::size_t poppedSeen_ = 0;  // game thread: the reader's progress when last looked at
  alignas(64) std::atomic<std::size_t> popped_{0};
};

}  // namespace quillon::recording
