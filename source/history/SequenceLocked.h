#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

namespace quillon {

// A value in two parts that one thread writes and any thread reads, with no lock (a sequence
// lock): the parts are kept as atomic words under one sequence, the writer marks the sequence odd
// while it writes them, and a reader tries again when the sequence was odd or changed while it
// read. The writer may store the first part alone, the one that changes often; a reader always
// gets both parts as one write left them. A write costs a few plain stores a word. `Atomic` is
// std::atomic but where a test follows the order of the stores.
template <typename First, typename Second, template <typename> class Atomic = std::atomic>
class SequenceLocked {
  static_assert(std::is_trivially_copyable_v<First> && std::is_trivially_copyable_v<Second>);

  // A part kept as atomic words. Release on each word (no fence, which ThreadSanitizer cannot
  // follow): a reader that sees a word of a write also sees the odd sequence before it; acquire
  // on each, so the sequence is read again after them. Plain stores and loads on x86.
  template <typename Part>
  class Words {
   public:
    using Plain = std::array<std::uint64_t, (sizeof(Part) + 7) / 8>;

    // Each word is taken from the part in place, with no copy of the whole part first.
    void Store(const Part& part) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(&part);
      constexpr std::size_t kWhole = sizeof(Part) / 8;
      for (std::size_t i = 0; i < kWhole; ++i) {
        std::uint64_t word;
        std::memcpy(&word, bytes + 8 * i, 8);
        atomic_[i].store(word, std::memory_order_release);
      }
      if constexpr (sizeof(Part) % 8 != 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + 8 * kWhole, sizeof(Part) % 8);
        atomic_[kWhole].store(word, std::memory_order_release);
      }
    }
    void Load(Plain& words) const {
      for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = atomic_[i].load(std::memory_order_acquire);
      }
    }
    static void CopyOut(const Plain& words, Part& part) {
      std::memcpy(static_cast<void*>(&part), words.data(), sizeof(Part));
    }

   private:
    std::array<Atomic<std::uint64_t>, std::tuple_size_v<Plain>> atomic_{};
  };

 public:
  // Only ever from the one writing thread.
  void Store(const First& first) {
    const std::uint32_t sequence = Begin();
    first_.Store(first);
    sequence_.store(sequence + 2, std::memory_order_release);
  }
  void Store(const First& first, const Second& second) {
    const std::uint32_t sequence = Begin();
    first_.Store(first);
    second_.Store(second);
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  // From any thread.
  void Load(First& first, Second& second) const {
    typename Words<First>::Plain firstWords;
    typename Words<Second>::Plain secondWords;
    for (;;) {
      const std::uint32_t before = sequence_.load(std::memory_order_acquire);
      if ((before & 1) == 0) {
        first_.Load(firstWords);
        second_.Load(secondWords);
        if (sequence_.load(std::memory_order_relaxed) == before) break;
      }
      std::this_thread::yield();
    }
    Words<First>::CopyOut(firstWords, first);
    Words<Second>::CopyOut(secondWords, second);
  }

 private:
  std::uint32_t Begin() {
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    return sequence;
  }

  Atomic<std::uint32_t> sequence_{0};
  Words<First> first_;
  Words<Second> second_;
};

}  // namespace quillon
