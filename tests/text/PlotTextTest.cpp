// What the practice days plot says: its scale, the point under the mouse and that point's date
// and best.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PlotText.h"

namespace {

TEST(LineScale, KeepsEveryValueInViewWithRoomForTheTitleAndShowsAChange) {
  struct Case {
    const char* name;
    std::vector<float> values;
    float bottom, top;
  };
  const Case cases[] = {
      {"nothing to show", {}, 0.0f, 1.0f},
      {"one day: from 0, as the other plots", {9.0f}, 0.0f, 16.2f},
      {"all alike: from 0", {4.0f, 4.0f, 4.0f}, 0.0f, 7.2f},
      {"9 then 11: half the spread below the lowest", {9.0f, 11.0f}, 8.0f, 13.4f},
      {"a wide spread: never below 0", {1.0f, 30.0f}, 0.0f, 54.0f},
      {"a value that is not a number is left out", {9.0f, NAN, 11.0f}, 8.0f, 13.4f},
  };
  for (const Case& c : cases) {
    const quillon::PlotScale scale =
        quillon::LineScale(c.values.data(), static_cast<int>(c.values.size()));
    EXPECT_FLOAT_EQ(scale.bottom, c.bottom) << c.name;
    EXPECT_FLOAT_EQ(scale.top, c.top) << c.name;
  }
}

TEST(NearestPoint, IsThePointClosestToTheMouseAcrossTheLine) {
  struct Case {
    float x;
    int count;
    int point;
  };
  // Points at 100, 150, 200 when there are three.
  const Case cases[] = {{100.0f, 3, 0}, {124.0f, 3, 0}, {126.0f, 3, 1}, {199.0f, 3, 2},
                        {50.0f, 3, 0},  {250.0f, 3, 2}, {180.0f, 1, 0}, {200.0f, 2, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(quillon::NearestPoint(c.x, 100.0f, 200.0f, c.count), c.point)
        << "x " << c.x << " of " << c.count;
  }
}

TEST(PlotText, SaysAValueAndADaysPointWithoutLocale) {
  struct Case {
    int day;  // since 1970-01-01
    float best;
    const char* point;
  };
  const Case cases[] = {
      {0, 11.0f, "1970-01-01: best chain 11"},     {20795, 9.0f, "2026-12-08: best chain 9"},
      {20513, 2.5f, "2026-03-01: best chain 2.5"},  // after a leap-year February's end
      {11016, 1.0f, "2000-02-29: best chain 1"},   {-1, 3.0f, "1969-12-31: best chain 3"},
      {-719528, 3.0f, "0000-01-01: best chain 3"}, {2932896, 3.0f, "9999-12-31: best chain 3"},
      {2932897, 3.0f, "?: best chain 3"},          {-719529, 3.0f, "?: best chain 3"},
  };
  for (const Case& c : cases) {
    quillon::DayPointText text;
    EXPECT_EQ(quillon::FormatDayPoint(c.day, c.best, text), c.point);
  }
  quillon::PlotValueText value;
  EXPECT_EQ(quillon::FormatPlotValue(123456.0f, value), "123456");
}

}  // namespace
