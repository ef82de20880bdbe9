// Practice statistics: when a chain is finished, what the session figures hold, and what the
// settings page shows of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Practice.h"
#include "SameLines.h"
#include "SettingsWindow.h"
#include "TempFolder.h"

namespace {

using testing_support::ChainLogPath;
using testing_support::FileLines;
using testing_support::Practice;

// The resets column of every chain in the log, in order.
std::vector<std::string> LoggedChains(const std::filesystem::path& dataFolder) {
  std::vector<std::string> resets;
  const auto lines = FileLines(ChainLogPath(dataFolder));
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto from = lines[i].find(',') + 1;
    resets.push_back(lines[i].substr(from, lines[i].find(',', from) - from));
  }
  return resets;
}

struct ChainRule {
  const char* name;
  const char* practice;
  std::vector<std::string> logged;  // after the plugin has unloaded
};

class ChainFinishingTest : public ::testing::TestWithParam<ChainRule> {};

TEST_P(ChainFinishingTest, AChainWithAResetIsLoggedOnceWhenItCanGrowNoMore) {
  testing_support::TempFolder data;
  {
    testing_support::PluginSession session(data.Path());
    Practice(session).Play(GetParam().practice);
  }
  EXPECT_EQ(LoggedChains(data.Path()), GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ChainFinishingTest,
    ::testing::Values(
        ChainRule{"JumpAfterTheBallTouchedGround",
                  "jump reset +1 reset ballground +1 reset +1 jump +1 reset",
                  {"3", "1"}},
        ChainRule{"JumpWhileTheChainGoesOn", "jump reset +1 jump +1 reset", {"2"}},
        ChainRule{"RoundStart", "jump reset +1 reset roundstart +1 jump reset", {"2", "1"}},
        ChainRule{"ExplodedBallThenRoundStart", "jump reset explode +1 reset roundstart", {"1"}},
        ChainRule{"CountRestartsAtOneWhilePaused",
                  "jump reset +1 reset pause +1 reset unpause +1 reset",
                  {"2", "2"}},
        ChainRule{"GameEventDestroyed", "jump reset +1 reset destroyed init reset", {"2", "1"}},
        ChainRule{"UnloadEndsTheChainGoingOn", "jump reset +1 reset +1 reset", {"3"}},
        ChainRule{"NoResetNoChain", "jump ballground jump roundstart destroyed", {}},
        ChainRule{"FinishedOnceThoughSeveralRulesFollow",
                  "jump reset ballground +1 jump roundstart destroyed",
                  {"1"}}),
    [](const auto& info) { return info.param.name; });

// --- The page's lines -----------------------------------------------------------------------

struct PageCase {
  const char* name;
  const char* existingLog;  // chains.csv before the load; null for none
  const char* heightDecimal;
  const char* practice;
  const char* clearBy;  // "button", "command" or null: a clear after the practice
  std::vector<std::string> shown;
};

class StatisticsPageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(StatisticsPageTest, ShowsTheSessionFiguresAndTheAllTimeBest) {
  const PageCase& c = GetParam();
  testing_support::TempFolder data;
  if (c.existingLog != nullptr) {
    std::filesystem::create_directories(data.Path() / "quillon");
    std::ofstream(ChainLogPath(data.Path())) << c.existingLog;
  }
  testing_support::PluginSession session(data.Path());
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  session.Set("quillon_heightdecimal", c.heightDecimal);
  Practice(session).Play(c.practice);
  if (c.clearBy != nullptr) {
    const auto before = window.Draw();
    if (std::string(c.clearBy) == "button") {
      ASSERT_TRUE(window.Click("Clear statistics"));
    } else {
      ASSERT_TRUE(session.Host().ExecuteCommand("quillon_clear_stats"));
    }
    ASSERT_EQ(session.Host().PendingDeferred(), 1u) << "cleared on the game thread";
    EXPECT_PRED_FORMAT2(testing_support::SameLines, window.Draw(), before);
    session.Host().RunDeferred();
  }
  auto shown = c.shown;
  shown.push_back("[ Clear statistics ]");
  EXPECT_PRED_FORMAT2(testing_support::SameLines, testing_support::StatisticsLines(window.Draw()),
                      shown);
}

constexpr const char* kTwoChains =
    "ball:1712.83 jump reset +1.25 ball:700 reset +1.31 reset ballground +1 jump "
    "ball:1000 reset +1 reset";

INSTANTIATE_TEST_SUITE_P(
    Cases, StatisticsPageTest,
    ::testing::Values(
        PageCase{"NothingYet",
                 nullptr,
                 "0",
                 "",
                 nullptr,
                 {"Session statistics", "Chains: 0", "Resets: 0", "Best chain: 0",
                  "Highest reset: -", "Average time between resets: -", "All-time best chain: 0",
                  "Resets per chain (last 50)", "[histogram: -]", "Days practised: 0",
                  "Best chain per day", "[lines: -]"}},
        PageCase{"OneResetHasNoInterval",
                 nullptr,
                 "1",
                 "ball:1000 jump reset",
                 nullptr,
                 {"Session statistics", "Chains: 1", "Resets: 1", "Best chain: 1",
                  "Highest reset: 48.71", "Average time between resets: -",
                  "All-time best chain: 1", "Resets per chain (last 50)", "[histogram: -]",
                  "Days practised: 0", "Best chain per day", "[lines: -]"}},
        // Intervals 1.25, 1.31 and 1: the current chain counts too.
        PageCase{"TwoChains",
                 nullptr,
                 "0",
                 kTwoChains,
                 nullptr,
                 {"Session statistics", "Chains: 2", "Resets: 5", "Best chain: 3",
                  "Highest reset: 87", "Average time between resets: 1.19",
                  "All-time best chain: 3", "Resets per chain (last 50)", "[histogram: 3]",
                  "Days practised: 1", "Best chain per day", "[lines: 3]"}},
        PageCase{"AllTimeBestFromTheLog",
                 "ended,resets,highest,average_interval\n"
                 "2026-12-01T20:00:00Z,6,55.00,1.50\n"
                 "2026-12-01T20:01:00Z,1,12.00,\n",
                 "0",
                 kTwoChains,
                 nullptr,
                 {"Session statistics", "Chains: 2", "Resets: 5", "Best chain: 3",
                  "Highest reset: 87", "Average time between resets: 1.19",
                  "All-time best chain: 6", "Resets per chain (last 50)", "[histogram: 6 1 3]",
                  "Days practised: 2", "Best chain per day", "[lines: 6 3]"}},
        PageCase{"ClearedByTheButton",
                 nullptr,
                 "0",
                 kTwoChains,
                 "button",
                 {"Session statistics", "Chains: 0", "Resets: 0", "Best chain: 0",
                  "Highest reset: -", "Average time between resets: -", "All-time best chain: 3",
                  "Resets per chain (last 50)", "[histogram: 3]", "Days practised: 1",
                  "Best chain per day", "[lines: 3]"}},
        PageCase{"ClearedByTheConsoleCommand",
                 nullptr,
                 "0",
                 kTwoChains,
                 "command",
                 {"Session statistics", "Chains: 0", "Resets: 0", "Best chain: 0",
                  "Highest reset: -", "Average time between resets: -", "All-time best chain: 3",
                  "Resets per chain (last 50)", "[histogram: 3]", "Days practised: 1",
                  "Best chain per day", "[lines: 3]"}}),
    [](const auto& info) { return info.param.name; });

TEST(StatisticsAfterAClear, TheChainGoingOnCountsOnlyItsNewResets) {
  testing_support::PluginSession session;
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  Practice practice(session);
  practice.Play("ball:1000 jump reset +1 reset +1 reset");
  ASSERT_TRUE(session.Host().ExecuteCommand("quillon_clear_stats"));
  session.Host().RunDeferred();
  practice.Play("+2 reset");
  EXPECT_PRED_FORMAT2(
      testing_support::SameLines, testing_support::StatisticsLines(window.Draw()),
      (std::vector<std::string>{"Session statistics", "Chains: 1", "Resets: 1", "Best chain: 1",
                                "Highest reset: 49", "Average time between resets: 2.00",
                                "All-time best chain: 4", "Resets per chain (last 50)",
                                "[histogram: -]", "Days practised: 0", "Best chain per day",
                                "[lines: -]", "[ Clear statistics ]"}));
}

}  // namespace
