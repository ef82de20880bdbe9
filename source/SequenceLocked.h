#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

namespace quillon {

// A value that one thread writes and any thread reads, with no lock (a sequence lock): the value
// is kept as atomic words, the writer marks the sequence odd while it writes them, and a reader
// tries again when the sequence was odd or changed while it read. A write costs a few plain
// stores; a reader always gets a value as one write left it.
template <typename Value>
class SequenceLocked {
  static_assert(std::is_trivially_copyable_v<Value>);
  using Words = std::array<std::uint64_t, (sizeof(Value) + 7) / 8>;

 public:
  // Only ever from the one writing thread.
  void Store(const Value& value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    // Release on each word (no fence, which ThreadSanitizer cannot follow): a reader that sees a
    // word of this write also sees the odd sequence before it. Plain stores on x86. Each word is
    // taken from the value in place, with no copy of the whole value first.
    constexpr std::size_t kWhole = sizeof(Value) / 8;
    for (std::size_t i = 0; i < kWhole; ++i) {
      std::uint64_t word;
      std::memcpy(&word, bytes + 8 * i, 8);
      words_[i].store(word, std::memory_order_release);
    }
    if constexpr (sizeof(Value) % 8 != 0) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes + 8 * kWhole, sizeof(Value) % 8);
      words_[kWhole].store(word, std::memory_order_release);
    }
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  // From any thread.
  Value Load() const {
    Words words;
    for (;;) {
      const std::uint32_t before = sequence_.load(std::memory_order_acquire);
      if ((before & 1) == 0) {
        // Acquire on each word, so the sequence is read again after them.
        for (std::size_t i = 0; i < words.size(); ++i) {
          words[i] = words_[i].load(std::memory_order_acquire);
        }
        if (sequence_.load(std::memory_order_relaxed) == before) break;
      }
      std::this_thread::yield();
    }
    Value value;
    std::memcpy(static_cast<void*>(&value), words.data(), sizeof(Value));
    return value;
  }

 private:
  std::atomic<std::uint32_t> sequence_{0};
  std::array<std::atomic<std::uint64_t>, std::tuple_size_v<Words>> words_{};
};

}  // namespace quillon
