// Colour cycling: one colour per frame for all six texts, red, green and blue following three
// shifted sine waves as the phase counter advances on each cycled frame.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "PluginSession.h"
#include "Tally.h"

namespace {

using testing_support::PluginSession;

constexpr const char* kPhaseZeroColor = "SetColor 127 243 30 255";
constexpr std::int32_t kMaxPhase = std::numeric_limits<std::int32_t>::max();

// In free play with the overlay and colour cycling switched on.
class ColorCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.StartFreeplay();
    session.Set("quillon_enabled", "1");
    session.Set("quillon_rgb_enabled", "1");
  }

  // Draws a frame and returns its one colour as --trace prints it.
  std::string NextColor() {
    session.Frame();
    const auto& calls = session.LastFrameCalls();
    if (calls.empty() || !std::holds_alternative<host::SetColorBytes>(calls.front())) {
      ADD_FAILURE() << "the frame does not begin with a byte colour";
      return {};
    }
    return host::DescribeCall(calls.front());
  }

  std::vector<std::string> NextColors(int frames) {
    std::vector<std::string> colors;
    for (int i = 0; i < frames; ++i) colors.push_back(NextColor());
    return colors;
  }

  PluginSession session;
};

TEST_F(ColorCycleTest, ShowsTheColourOfEachPhase) {
  const auto colors = NextColors(1001);
  EXPECT_EQ(colors[0], kPhaseZeroColor);
  EXPECT_EQ(colors[100], "SetColor 188 203 1 255");   // phase 0.5
  EXPECT_EQ(colors[1000], "SetColor 4 211 179 255");  // phase 5
}

TEST(ColorCycle, OneCycleLastsAsManyFramesAsTheSpeedGives) {
  struct Case {
    const char* speed;
    int frames;
  };
  const Case cases[] = {{"1", 1257}, {"2", 629}, {"0.5", 2513}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("speed ") + c.speed);
    PluginSession session;
    session.StartFreeplay();
    session.Set("quillon_enabled", "1");
    session.Set("quillon_rgb_enabled", "1");
    session.Set("quillon_rgb_speed", c.speed);
    std::vector<std::string> colors;
    for (int i = 0; i < c.frames + 5; ++i) {
      session.Frame();
      colors.push_back(host::DescribeCall(session.LastFrameCalls().front()));
      // The counter runs from 0 to one less than the frames of a cycle.
      if (i == c.frames - 2) {
        EXPECT_EQ(session.Plugin().colorPhase, c.frames - 1);
      }
      if (i == c.frames - 1) {
        EXPECT_EQ(session.Plugin().colorPhase, 0);
      }
    }
    EXPECT_NE(colors[c.frames - 1], kPhaseZeroColor);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(colors[c.frames + k], colors[k]) << k;
  }
}

TEST_F(ColorCycleTest, KeepsItsPhaseAcrossGameEventsAndWhileCyclingIsOff) {
  NextColors(60);
  session.Set("quillon_rgb_enabled", "0");
  for (int i = 0; i < 10; ++i) session.Frame();
  session.Fire("destroyed");
  session.StartFreeplay(20.0);
  session.Set("quillon_rgb_enabled", "1");
  NextColors(40);
  EXPECT_EQ(NextColor(), "SetColor 188 203 1 255");  // phase counter 100
}

TEST_F(ColorCycleTest, SpeedZeroStaysAtThePhaseZeroColour) {
  session.Set("quillon_rgb_speed", "0");
  testing_support::Tally tally;
  const auto colors = NextColors(50);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    tally.ExpectEq("the phase-zero colour", colors[i], kPhaseZeroColor,
                   "frame " + std::to_string(i));
  }
  tally.Report();
  // Never set back by a cycle, the counter reaches its largest value and goes on from 0 without
  // overflowing; the colour does not change.
  session.Plugin().colorPhase = kMaxPhase - 1;
  for (const auto& color : NextColors(3)) EXPECT_EQ(color, kPhaseZeroColor);
  EXPECT_EQ(session.Plugin().colorPhase, 1);
}

TEST_F(ColorCycleTest, ARaisedSpeedDrawsTheOldPhaseAtTheNewStepOnceThenStartsAgain) {
  NextColors(700);
  session.Set("quillon_rgb_speed", "2");
  EXPECT_EQ(NextColor(), "SetColor 211 179 0 255");  // phase 700 × 0.01 = 7
  EXPECT_EQ(NextColor(), kPhaseZeroColor);
}

// Speeds the settings do not admit, written straight into the bound value. Channels that are not a
// number are drawn as 0; a counter with no cycle limit wraps to 0 instead of overflowing.
TEST_F(ColorCycleTest, SpeedsBeyondTheRangeGiveDefinedColours) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float speed;
    std::int32_t phaseBefore;
    const char* color;
    std::int32_t phaseAfter;
  };
  const Case cases[] = {
      {kNaN, 0, "SetColor 0 0 0 255", 1},          // no limit: the counter goes on
      {kNaN, kMaxPhase, "SetColor 0 0 0 255", 0},  // ... and wraps at its largest value
      {kInf, 0, "SetColor 0 0 0 255", 0},          // 0 × inf is not a number; limit 0
      {kInf, 5, "SetColor 0 0 0 255", 0},          // sine of infinity is not a number
      {-kInf, 5, "SetColor 0 0 0 255", 0},
      {1e30f, 0, kPhaseZeroColor, 0},  // the limit is below one frame
      {-1.0f, 0, kPhaseZeroColor, 0},  // a negative limit sets the counter back
      {-1e30f, 0, kPhaseZeroColor, 0},
      {0.0f, kMaxPhase, kPhaseZeroColor, 0},
      {-0.0f, kMaxPhase, kPhaseZeroColor, 0},  // limit -inf: back to 0 at once
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("speed " + std::to_string(c.speed) + " at phase " + std::to_string(c.phaseBefore));
    *session.Plugin().rgbSpeed = c.speed;
    session.Plugin().colorPhase = c.phaseBefore;
    EXPECT_EQ(NextColor(), c.color);
    EXPECT_EQ(session.Plugin().colorPhase, c.phaseAfter);
  }
}

}  // namespace
