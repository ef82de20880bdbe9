#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace quillon {

// The lengths of the latest finished chains, oldest first, as the settings page plots them.
struct RecentChains {
  static constexpr std::size_t kCapacity = 50;

  std::array<float, kCapacity> lengths{};
  int count = 0;

  // Adds the newest length; when full, the oldest goes.
  void Add(std::uint32_t length) {
    if (static_cast<std::size_t>(count) == kCapacity) {
      std::copy(lengths.begin() + 1, lengths.end(), lengths.begin());
      --count;
    }
    lengths[static_cast<std::size_t>(count++)] = static_cast<float>(length);
  }
};

}  // namespace quillon
