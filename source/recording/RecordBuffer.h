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

  // Game thread. How many records the ring holds with this one; 0 when it was full and nothing
  // was stored.
  std::size_t TryPush(const StepRecord& record);
  // Game thread: room for this many more records.
  std::size_t Free() const;
  std::size_t Capacity() const { return capacity_; }
  // Reader: moves up to out.size() records, oldest first, into `out`; how many it moved.
  std::size_t Pop(std::span<StepRecord> out);

 private:
  const std::size_t capacity_;
  const std::size_t mask_;
  std::unique_ptr<StepRecord[]> slots_;
  // Apart, so the two threads do not share a cache line for their own counters.
  alignas(64) std::atomic<std::size_t> pushed_{0};
  alignas(64) std::atomic<std::size_t> popped_{0};
};

}  // namespace quillon::recording
