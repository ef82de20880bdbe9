// The real host draws the settings page on its render thread while the hooks run on the game
// thread. The page must read the statistics as one consistent snapshot, with no data race: the
// tsan preset runs this under ThreadSanitizer, which fails it on any race.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Practice.h"
#include "PracticeStatistics.h"
#include "SettingsWindow.h"
#include "TempFolder.h"

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

// Every seventh chain has two resets, the others one: the latest chains tell how many have
// finished.
std::uint32_t ChainLength(std::uint64_t index) {
  return index % 7 == 0 ? 2 : 1;
}

// The snapshot's latest chains are those of `finished` chains.
bool LatestChainsAre(const quillon::RecentChains& recent, std::uint64_t finished) {
  const std::uint64_t kept = std::min<std::uint64_t>(finished, quillon::RecentChains::kCapacity);
  if (static_cast<std::uint64_t>(recent.count) != kept) return false;
  for (std::uint64_t i = 0; i < kept; ++i) {
    if (recent.lengths[i] != static_cast<float>(ChainLength(finished - kept + i))) return false;
  }
  return true;
}

// Each chain's first reset finishes the chain before it, in one step: a snapshot that shows
// `chains` counted shows the chains before the last as the latest finished.
TEST(StatisticsAcrossThreads, ASnapshotHoldsTheFiguresAndTheLatestChainsOfOneMoment) {
  constexpr std::uint64_t kChains = 300'000;
  quillon::PracticeStatistics statistics;
  statistics.Begin(0, {});

  std::atomic<bool> reading{false};
  std::atomic<bool> practising{true};
  std::uint64_t snapshots = 0;
  std::uint64_t mixed = 0;
  std::thread renderThread([&] {
    reading = true;
    while (practising.load() || snapshots == 0) {
      const quillon::StatisticsSnapshot shown = statistics.Snapshot();
      if (!LatestChainsAre(shown.recent, shown.chains - (shown.chains > 0 ? 1 : 0))) ++mixed;
      ++snapshots;
    }
  });
  while (!reading.load()) std::this_thread::yield();
  for (std::uint64_t i = 0; i < kChains; ++i) {
    for (std::uint32_t reset = 0; reset < ChainLength(i); ++reset) {
      statistics.CountReset(50.0f, 1.0, reset == 0);
    }
  }
  practising = false;
  renderThread.join();
  EXPECT_GT(snapshots, 0u);
  EXPECT_EQ(mixed, 0u) << "of " << snapshots << " snapshots";
}

// What the render thread does in the real host, all at once: draws the page, clicks a check box
// and "Clear statistics" (whose work is deferred through Execute), while the game thread fires
// game functions, sets variables and runs the deferred work, and the chain log's writer thread,
// which cannot write (a folder is in the log's place), reports on the console and asks for
// retries through Execute.
TEST(StatisticsAcrossThreads, ThePageClicksWhileTheGameThreadPlaysAndSetsVariables) {
  constexpr int kChains = 200;
  testing_support::TempFolder data;
  std::filesystem::create_directories(testing_support::ChainLogPath(data.Path()));
  testing_support::PluginSession session(data.Path());
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  testing_support::Practice practice(session);

  std::atomic<bool> practising{true};
  int clicks = 0;
  std::thread renderThread([&] {
    while (practising.load() || clicks == 0) {
      EXPECT_TRUE(window.Click("Enable Height Decimal"));
      EXPECT_TRUE(window.Click("Clear statistics"));
      EXPECT_EQ(testing_support::StatisticsLines(window.Draw()).size(),
                testing_support::kFreshStatistics.size() - 1);
      ++clicks;
    }
  });
  for (int chain = 0; chain < kChains; ++chain) {
    session.Set("quillon_samecolorenabled", chain % 2 == 0 ? "0" : "1");
    session.Set("quillon_textsize", std::to_string(1 + chain % 5));
    practice.Play("jump reset +1 reset +6 ballground +1");
  }
  practising = false;
  renderThread.join();
  session.Host().RunDeferred();

  EXPECT_GT(clicks, 0);
  const auto lines = testing_support::StatisticsLines(window.Draw());
  EXPECT_LE(Figure(lines[1]), kChains) << "chains since the last clear";
  // The writer reports on its own thread, maybe after the game thread is done.
  ASSERT_TRUE(testing_support::Eventually([&] { return !session.Host().ConsoleLines().empty(); }));
  const auto console = session.Host().ConsoleLines();
  EXPECT_TRUE(console.front().starts_with("Quillon: cannot write to ")) << console.front();
}

}  // namespace
