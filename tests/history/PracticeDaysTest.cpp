// "Days practised" and the best chain per day: local days, from the chain log and this session.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Practice.h"
#include "SettingsWindow.h"
#include "TempFolder.h"

namespace {

// Sets the time zone for as long as it lives (POSIX form: UTC-14 is 14 hours east of UTC).
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

// A log line of a chain of `resets` that ended at `stamp` (UTC).
std::string Chain(const std::string& stamp, int resets) {
  return stamp + "," + std::to_string(resets) + ",50.00," + (resets == 1 ? "" : "1.20") + "\n";
}

// A chain on each of `days` days in March and April 2026, in date order, the day's number of
// the month as its length.
std::string ChainsOnDays(int days) {
  std::string log;
  for (int day = 0; day < days; ++day) {
    const int month = 3 + day / 30;
    const int date = 1 + day % 30;
    char stamp[32];  // room for any two ints, as the compiler checks
    std::snprintf(stamp, sizeof stamp, "2026-%02d-%02dT12:00:00Z", month, date);
    log += Chain(stamp, date);
  }
  return log;
}

// What the plot says of today's point in UTC, with that best.
std::string TodayPoint(int best) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
  return std::string(date) + ": best chain " + std::to_string(best);
}

struct DaysCase {
  const char* name;
  const char* zone;
  std::string log;  // after the header
  const char* practice;
  unsigned days;
  std::vector<float> bests;  // the latest days' best chains, oldest first
  // What the plot says of the first and the latest day under the mouse.
  std::string firstPoint;
  std::string latestPoint;
};

constexpr std::string_view kPlotId = "##best chain per day";

class PracticeDaysTest : public ::testing::TestWithParam<DaysCase> {};

TEST_P(PracticeDaysTest, CountsLocalDaysAndPlotsEachDaysBest) {
  const DaysCase& c = GetParam();
  const TimeZone zone(c.zone);
  testing_support::TempFolder data;
  std::filesystem::create_directories(data.Path() / "quillon");
  std::ofstream(testing_support::ChainLogPath(data.Path()))
      << "ended,resets,highest,average_interval\n"
      << c.log;
  testing_support::PluginSession session(data.Path());
  testing_support::Practice(session).Play(c.practice);

  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  const auto lines = testing_support::StatisticsLines(window.Draw());
  ASSERT_EQ(lines.size(), testing_support::kFreshStatistics.size() - 1);
  EXPECT_EQ(lines[7], "Resets per chain (last 50)");
  EXPECT_EQ(lines[9], "Days practised: " + std::to_string(c.days));
  EXPECT_EQ(lines[10], "Best chain per day");
  std::string bests;
  for (const float best : c.bests) bests += ' ' + std::to_string(static_cast<int>(best));
  EXPECT_EQ(lines[11], "[lines:" + bests + "]");
  EXPECT_EQ(window.TooltipOver(kPlotId, 0.0f), c.firstPoint);
  EXPECT_EQ(window.TooltipOver(kPlotId, 1.0f), c.latestPoint);
}

// A chain logged a minute ago, in a zone whose date differs from the UTC date, an hour or more
// from its midnight (before 11:00 UTC 12 hours west, else 14 east): one finished now joins its day.
DaysCase ASessionsChainOnTheLocalDay() {
  const std::time_t minuteAgo = std::time(nullptr) - 60;
  std::tm utc{};
  gmtime_r(&minuteAgo, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
  // The zone's date of that moment.
  const std::time_t local = minuteAgo + (utc.tm_hour < 11 ? -12 : 14) * 3600;
  std::tm shifted{};
  gmtime_r(&local, &shifted);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &shifted);
  const std::string point = std::string(date) + ": best chain 4";
  return {"AChainOfTheSessionFallsOnTheLocalDayNotTheUtcDay",
          utc.tm_hour < 11 ? "UTC+12" : "UTC-14",
          Chain(stamp, 4),
          "jump reset +1 reset ballground +1 jump reset",
          1,
          {4},
          point,
          point};
}

// Around 10:00 UTC, midnight 14 hours east.
const std::string kEitherSideOfEasternMidnight =
    Chain("2026-03-01T09:59:59Z", 4) + Chain("2026-03-01T10:00:00Z", 2);
// Central Europe, which moved from UTC+1 to UTC+2 at 01:00 UTC on 29 March 2026: the last chain
// ended on the 30th there, though on the 29th by the offset that UTC day began with.
const std::string kAcrossSummerTime = Chain("2026-03-28T23:30:00Z", 1) +
                                      Chain("2026-03-29T00:30:00Z", 5) +
                                      Chain("2026-03-29T22:15:00Z", 3);

INSTANTIATE_TEST_SUITE_P(
    Logs, PracticeDaysTest,
    ::testing::Values(DaysCase{"OneDayInUtc",
                               "UTC0",
                               kEitherSideOfEasternMidnight,
                               "",
                               1,
                               {4},
                               "2026-03-01: best chain 4",
                               "2026-03-01: best chain 4"},
                      DaysCase{"TwoDaysFourteenHoursEast",
                               "UTC-14",
                               kEitherSideOfEasternMidnight,
                               "",
                               2,
                               {4, 2},
                               "2026-03-01: best chain 4",
                               "2026-03-02: best chain 2"},
                      DaysCase{"ADayWhoseOffsetChanges",
                               "CET-1CEST,M3.5.0,M10.5.0/3",
                               kAcrossSummerTime,
                               "",
                               2,
                               {5, 3},
                               "2026-03-29: best chain 5",
                               "2026-03-30: best chain 3"},
                      DaysCase{"OutOfOrderAndRepeatedDaysCountOnce",
                               "UTC0",
                               Chain("2026-05-03T08:00:00Z", 2) + Chain("2026-05-01T08:00:00Z", 6) +
                                   Chain("2026-05-02T08:00:00Z", 1) +
                                   Chain("2026-05-01T20:00:00Z", 7) + "a note\n",
                               "",
                               3,
                               {7, 1, 2},
                               "2026-05-01: best chain 7",
                               "2026-05-03: best chain 2"},
                      DaysCase{"TheLatestThirtyDaysArePlotted",
                               "UTC0",
                               ChainsOnDays(35),
                               "",
                               35,
                               {6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 1,  2,  3,  4,  5},
                               "2026-03-06: best chain 6",
                               "2026-04-05: best chain 5"},
                      DaysCase{"ADayOlderThanTheThirtyKeptCountsButIsNotPlotted",
                               "UTC0",
                               ChainsOnDays(30) + Chain("2026-02-01T12:00:00Z", 9),
                               "",
                               31,
                               {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30},
                               "2026-03-01: best chain 1",
                               "2026-03-30: best chain 30"},
                      DaysCase{"TodaysChainsJoinTheLoggedDays",
                               "UTC0",
                               Chain("2026-01-10T12:00:00Z", 4),
                               "jump reset +1 reset ballground +1 jump reset",
                               2,
                               {4, 2},
                               "2026-01-10: best chain 4",
                               TodayPoint(2)},
                      ASessionsChainOnTheLocalDay()),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
