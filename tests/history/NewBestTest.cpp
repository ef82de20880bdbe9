// "Announce A New Best Chain": one toast per chain, the moment it passes the all-time best as it
// stood when the chain began.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Practice.h"
#include "TempFolder.h"

namespace {

using testing_support::Practice;

struct Announcement {
  const char* name;
  const char* loggedBest;  // a chain of that many resets in the log; null: no log
  const char* announce;
  const char* practice;
  std::vector<std::string> toasts;
};

class NewBestTest : public ::testing::TestWithParam<Announcement> {};

TEST_P(NewBestTest, AChainIsAnnouncedOnceWhenItFirstPassesTheBestItBeganWith) {
  const Announcement& c = GetParam();
  testing_support::TempFolder data;
  if (c.loggedBest != nullptr) {
    std::filesystem::create_directories(data.Path() / "quillon");
    std::ofstream(testing_support::ChainLogPath(data.Path()))
        << "ended,resets,highest,average_interval\n2026-11-30T18:00:00Z," << c.loggedBest
        << ",50.00," << (std::string(c.loggedBest) == "1" ? "" : "1.20") << "\n";
  }
  testing_support::PluginSession session(data.Path());
  std::vector<std::string> shown;
  session.Host().Toasts().SetOutput([&](const pluginsdk::Toast& toast) {
    shown.push_back(toast.title + ": " + toast.text);
    EXPECT_EQ(toast.until - toast.shownAt, 35'000'000) << "3.5 s";
    EXPECT_EQ(toast.width, 290.0f);
    EXPECT_EQ(toast.height, 60.0f);
  });
  session.Set("quillon_announce_best", c.announce);
  Practice(session).Play(c.practice);
  EXPECT_EQ(shown, c.toasts);
}

constexpr const char* kChainOfTwoThenThree =
    "jump reset +1 reset ballground +1 jump reset +1 reset +1 reset";

INSTANTIATE_TEST_SUITE_P(
    Chains, NewBestTest,
    ::testing::Values(
        Announcement{"AFirstChainEverIsNoNews", nullptr, "1", "jump reset +1 reset +1 reset", {}},
        Announcement{"OnceAtTheResetThatPassesTheLoggedBest",
                     "2",
                     "1",
                     "jump reset +1 reset +1 reset +1 reset",
                     {"Quillon Plugin: New best chain: 3"}},
        Announcement{"EqualIsNoNews", "3", "1", "jump reset +1 reset +1 reset", {}},
        Announcement{"EachChainAgainstTheBestWhenItBegan",
                     "1",
                     "1",
                     kChainOfTwoThenThree,
                     {"Quillon Plugin: New best chain: 2", "Quillon Plugin: New best chain: 3"}},
        Announcement{"ASessionsFirstChainSetsTheBestToPass",
                     nullptr,
                     "1",
                     kChainOfTwoThenThree,
                     {"Quillon Plugin: New best chain: 3"}},
        Announcement{"SwitchedOffAnnouncesNothing", "1", "0", kChainOfTwoThenThree, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
