// The real host draws the settings page on its render thread while the hooks run on the game
// thread. The page must read the statistics as one consistent snapshot, with no data race: the
// tsan preset runs this under ThreadSanitizer, which fails it on any race.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Practice.h"
#include "SettingsWindow.h"

namespace {

// The number at the end of a line such as "Chains: 12".
long Figure(const std::string& line) {
  return std::stol(line.substr(line.rfind(' ') + 1));
}

TEST(StatisticsAcrossThreads, ThePageReadsWholeSnapshotsWhileChainsGoOn) {
  constexpr int kChains = 300;
  constexpr int kResetsPerChain = 3;
  testing_support::PluginSession session;
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  testing_support::Practice practice(session);

  std::atomic<bool> practising{true};
  int pages = 0;
  std::thread renderThread([&] {
    while (practising.load() || pages == 0) {
      const auto lines = testing_support::StatisticsLines(window.Draw());
      ASSERT_EQ(lines.size(), testing_support::kFreshStatistics.size() - 1);
      const long chains = Figure(lines[1]);
      const long resets = Figure(lines[2]);
      const long best = Figure(lines[3]);
      // Every chain has three resets, so a snapshot taken between two figures would show.
      EXPECT_TRUE(chains == 0 ? resets == 0
                              : resets > kResetsPerChain * (chains - 1) &&
                                    resets <= kResetsPerChain * chains)
          << chains << " chains, " << resets << " resets";
      EXPECT_EQ(best, std::min<long>(resets, kResetsPerChain));
      // The first chain is finished when the second begins, and its day comes with it.
      if (chains >= 2) {
        EXPECT_GE(Figure(lines[8]), 1) << chains << " chains";
      }
      ++pages;
    }
  });
  for (int chain = 0; chain < kChains; ++chain) {
    practice.Play("jump reset +1 reset +1 reset ballground +1");
  }
  practising = false;
  renderThread.join();
  EXPECT_GT(pages, 0);
  const auto last = testing_support::StatisticsLines(window.Draw());
  EXPECT_EQ(last[1], "Chains: " + std::to_string(kChains));
}

}  // namespace
