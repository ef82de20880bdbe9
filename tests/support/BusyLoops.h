#pragma once
#include <array>
#include <atomic>
#include <thread>

namespace testing_support {

// Two threads that keep both cores of a small machine busy while they live, as a loaded machine
// does: a test of timing under load runs its program meanwhile.
class BusyLoops {
 public:
  BusyLoops() {
    for (auto& loop : loops_) {
      loop = std::thread([this] {
        while (!stop_.load(std::memory_order_relaxed)) {
        }
      });
    }
  }
  ~BusyLoops() {
    stop_ = true;
    for (auto& loop : loops_) loop.join();
  }
  BusyLoops(const BusyLoops&) = delete;
  BusyLoops& operator=(const BusyLoops&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::array<std::thread, 2> loops_;
};

}  // namespace testing_support
