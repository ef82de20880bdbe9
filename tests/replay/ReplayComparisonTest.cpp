// Comparing a real-time replay with the exact one: counts and heights exactly, times within 0.05.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ReplayComparison.h"

namespace {

struct ReplayPair {
  const char* what;
  const char* expected;
  const char* actual;
  bool same;
};

void PrintTo(const ReplayPair& pair, std::ostream* out) {
  *out << pair.what;
}

class ReplayComparison : public ::testing::TestWithParam<ReplayPair> {};

TEST_P(ReplayComparison, AcceptsOnlyTimesWithinTheTolerance) {
  std::istringstream expected(GetParam().expected);
  std::istringstream actual(GetParam().actual);
  const auto difference = replay::CompareReplays(expected, actual, 0.05);
  EXPECT_EQ(!difference.has_value(), GetParam().same) << difference.value_or("(none)");
}

constexpr const char* kFrames =
    "0.000 (nothing drawn)\n"
    "3.100 Resets: 1 | Height: 27 | Time: 0.00\n"
    "3.450 Resets: 2 | Height: 38 | Time: 0.35\n"
    "3.500 quillon_posx = 12\n";

INSTANTIATE_TEST_SUITE_P(
    Replays, ReplayComparison,
    ::testing::Values(
        ReplayPair{"Identical", kFrames, kFrames, true},
        ReplayPair{"WindowsLineEnds", kFrames,
                   "0.000 (nothing drawn)\r\n"
                   "3.100 Resets: 1 | Height: 27 | Time: 0.00\r\n"
                   "3.450 Resets: 2 | Height: 38 | Time: 0.35\r\n"
                   "3.500 quillon_posx = 12\r\n",
                   true},
        ReplayPair{"TimeLaterByTheTolerance", "1.000 Resets: 2 | Time: 0.35\n",
                   "1.000 Resets: 2 | Time: 0.40\n", true},
        ReplayPair{"TimeEarlierByTheTolerance", "1.000 Resets: 2 | Time: 0.35\n",
                   "1.000 Resets: 2 | Time: 0.30\n", true},
        ReplayPair{"TimeBeyondTheTolerance", "1.000 Resets: 2 | Time: 0.35\n",
                   "1.000 Resets: 2 | Time: 0.41\n", false},
        ReplayPair{"OtherCount", "1.000 Resets: 2 | Time: 0.35\n", "1.000 Resets: 3 | Time: 0.35\n",
                   false},
        ReplayPair{"OtherHeight", "1.000 Resets: 2 | Height: 38 | Time: 0.35\n",
                   "1.000 Resets: 2 | Height: 39 | Time: 0.35\n", false},
        ReplayPair{"HeightOffByLessThanTheTolerance", "1.000 Height: 38.00\n",
                   "1.000 Height: 38.01\n", false},
        ReplayPair{"StepLaterByTheTolerance", "1.000 Resets: 2\n", "1.050 Resets: 2\n", true},
        ReplayPair{"StepLaterBeyondTheTolerance", "1.000 Resets: 2\n", "1.051 Resets: 2\n", false},
        ReplayPair{"StepEarlier", "1.000 Resets: 2\n", "0.999 Resets: 2\n", false},
        ReplayPair{"StepTimeOfATimeGroup", "1.000 Time: 0.35\n", "1.060 Time: 0.35\n", false},
        ReplayPair{"GroupMissing", "1.000 Resets: 2 | Time: 0.35\n", "1.000 Resets: 2\n", false},
        ReplayPair{"TimeThatIsNoNumber", "1.000 Time: 0.35\n", "1.000 Time: 0.35s\n", false},
        ReplayPair{"NothingDrawnInstead", "1.000 Resets: 2 | Time: 0.35\n",
                   "1.000 (nothing drawn)\n", false},
        ReplayPair{"LineMissing", kFrames, "0.000 (nothing drawn)\n", false},
        ReplayPair{"LineTooMany", "0.000 (nothing drawn)\n", kFrames, false},
        ReplayPair{"EmptyAgainstSomething", "", "0.000 (nothing drawn)\n", false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ReplayComparison, NamesTheFirstDifferingLine) {
  std::istringstream expected(kFrames);
  std::istringstream actual(
      "0.000 (nothing drawn)\n"
      "3.100 Resets: 1 | Height: 27 | Time: 0.00\n"
      "3.450 Resets: 2 | Height: 38 | Time: 0.45\n"
      "3.500 quillon_posx = 13\n");
  EXPECT_EQ(replay::CompareReplays(expected, actual, 0.05),
            "line 3: expected '3.450 Resets: 2 | Height: 38 | Time: 0.35', got "
            "'3.450 Resets: 2 | Height: 38 | Time: 0.45'");
}

}  // namespace
