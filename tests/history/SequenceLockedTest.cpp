// The order in which a sequence-locked value is published: a reader that sees any word of a
// write sees the odd sequence before it, and the even one only once both parts are whole.
#include "SequenceLocked.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// One store, as made: to the sequence or to a word of a part.
struct Store {
  bool sequence;
  std::uint64_t value;
  bool operator==(const Store&) const = default;
};
std::vector<Store> stores;

// std::atomic's two calls that SequenceLocked makes, noting each store in order.
template <typename T>
class NotedAtomic {
 public:
  constexpr NotedAtomic(T value = T{}) : value_(value) {}
  void store(T value, std::memory_order) {
    value_ = value;
    stores.push_back({sizeof(T) == sizeof(std::uint32_t), value});
  }
  T load(std::memory_order) const { return value_; }

 private:
  T value_;
};

struct Figures {
  std::uint64_t a, b;
};
struct History {
  std::uint64_t c, d, e;
};

TEST(SequenceLocked, AWriteMarksTheSequenceOddBeforeItsWordsAndEvenOnlyAfterBothParts) {
  quillon::SequenceLocked<Figures, History, NotedAtomic> value;
  const auto sequence = [](std::uint64_t s) { return Store{true, s}; };
  const auto word = [](std::uint64_t w) { return Store{false, w}; };
  struct Case {
    const char* name;
    void (*write)(quillon::SequenceLocked<Figures, History, NotedAtomic>&);
    std::vector<Store> stores;
  };
  const Case cases[] = {
      {"both parts",
       [](auto& v) {
         v.Store(Figures{1, 2}, History{3, 4, 5});
       },
       {sequence(1), word(1), word(2), word(3), word(4), word(5), sequence(2)}},
      {"the first part alone",
       [](auto& v) {
         v.Store(Figures{6, 7});
       },
       {sequence(3), word(6), word(7), sequence(4)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stores.clear();
    c.write(value);
    EXPECT_EQ(stores, c.stores);
  }
  Figures figures{};
  History history{};
  value.Load(figures, history);
  EXPECT_EQ(figures.a, 6u);
  EXPECT_EQ(history.e, 5u);
}

}  // namespace
