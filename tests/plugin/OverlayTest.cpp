// The overlay as a player sees it: which frames are drawn, where each text goes, its colour and
// how its number reads. Driven through the real module loaded by the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "OverlayCalls.h"
#include "PluginSession.h"
#include "SameLines.h"
#include "ValueText.h"

namespace {

using pluginsdk::FormatNumber;
using pluginsdk::GameMode;
using testing_support::PluginSession;
using testing_support::TextColors;
using testing_support::Trace;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
// Ball centre heights, in game units, that give these percentages.
constexpr float kBallAt41Point7Percent = 869.4789f;
constexpr float kBallAtMinus0Point3Percent = 87.5649f;

// In free play with the overlay switched on; every other setting at its default.
class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.StartFreeplay();
    session.Set("quillon_enabled", "1");
  }

  // A new chain of `resets` resets with the ball at `ballZ`, one second apart except the last
  // two, which are `lastInterval` seconds apart.
  void PlayChain(int resets, float ballZ, double lastInterval) {
    session.Ball(ballZ);
    session.Car(300.0f);
    now += 10.0;
    session.At(now);
    session.Fire("ballground");
    session.Fire("jump");
    for (int i = 0; i < resets; ++i) {
      if (i > 0) now += i == resets - 1 ? lastInterval : 1.0;
      session.At(now);
      session.Fire("landed");
      session.Fire("dodge");
    }
  }

  // The tops and left edges given to SetPosition in the frame, in call order.
  std::vector<Vector2F> Positions() const {
    std::vector<Vector2F> positions;
    for (const auto& call : session.LastFrameCalls()) {
      if (const auto* move = std::get_if<host::SetPositionCall>(&call)) {
        positions.push_back(move->position);
      }
    }
    return positions;
  }

  float LabelWidth(const char* label, float size) {
    return session.Font().Measure(label, size, size).X;
  }

  PluginSession session;
  double now = 3.0;
};

TEST_F(OverlayTest, DrawsTheExampleFrameCallByCall) {
  PlayChain(3, kBallAt41Point7Percent, 1.254);
  ASSERT_EQ(session.Frame(), "Resets: 3 | Height: 42 | Time: 1.25");

  const auto width = [&](const char* label) { return FormatNumber(LabelWidth(label, 2.0f)); };
  const auto size = [&](const char* label) {
    const Vector2F measured = session.Font().Measure(label, 2.0f, 2.0f);
    return FormatNumber(measured.X) + " " + FormatNumber(measured.Y);
  };
  const std::vector<std::string> expected{
      "SetColor 255 255 0 255",
      "SetPosition 0 0",
      "DrawString \"Resets: \" 2 2 true false",
      "GetStringSize \"Resets: \" 2 2 -> " + size("Resets: "),
      "SetPosition " + width("Resets: ") + " 0",
      "DrawString \"3\" 2 2 true false",
      "SetPosition 0 30",
      "DrawString \"Height: \" 2 2 true false",
      "GetStringSize \"Height: \" 2 2 -> " + size("Height: "),
      "SetPosition " + width("Height: ") + " 30",
      "DrawString \"42\" 2 2 true false",
      "SetPosition 0 60",
      "DrawString \"Time: \" 2 2 true false",
      "GetStringSize \"Time: \" 2 2 -> " + size("Time: "),
      "SetPosition " + width("Time: ") + " 60",
      "DrawString \"1.25\" 2 2 true false",
  };
  EXPECT_PRED_FORMAT2(testing_support::SameLines, Trace(session.LastFrameCalls()), expected);
  // The first colour is the colour variable itself, not bytes made from it.
  EXPECT_TRUE(std::holds_alternative<host::SetColorLinear>(session.LastFrameCalls().front()));
  // Each label has its own width, trailing blank included.
  EXPECT_GT(LabelWidth("Resets: ", 2.0f), LabelWidth("Time: ", 2.0f));
  EXPECT_GT(LabelWidth("Time: ", 2.0f), LabelWidth("Time:", 2.0f));
}

TEST_F(OverlayTest, PlacesLinesByPositionAndTextSize) {
  struct Case {
    const char* x;
    const char* y;
    const char* size;
    float left;
    float tops[3];
  };
  const Case cases[] = {
      {"0", "0", "2", 0.0f, {0.0f, 30.0f, 60.0f}},
      {"0", "0", "1.5", 0.0f, {0.0f, 22.0f, 44.0f}},  // 22.5 cut to whole pixels
      {"0", "0", "0.05", 0.0f, {0.0f, 0.0f, 0.0f}},   // below 1/15 the lines coincide
      {"100", "200", "1", 100.0f, {200.0f, 215.0f, 230.0f}},
      {"10000", "10000", "10", 10000.0f, {10000.0f, 10150.0f, 10300.0f}},
  };
  const char* labels[] = {"Resets: ", "Height: ", "Time: "};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("position ") + c.x + " " + c.y + ", size " + c.size);
    session.Set("quillon_posx", c.x);
    session.Set("quillon_posy", c.y);
    session.Set("quillon_textsize", c.size);
    session.Frame();
    const auto positions = Positions();
    ASSERT_EQ(positions.size(), 6u);
    const float size = std::stof(c.size);
    for (int line = 0; line < 3; ++line) {
      EXPECT_EQ(positions[2 * line].X, c.left);
      EXPECT_EQ(positions[2 * line].Y, c.tops[line]);
      EXPECT_EQ(positions[2 * line + 1].X, c.left + LabelWidth(labels[line], size));
      EXPECT_EQ(positions[2 * line + 1].Y, c.tops[line]);
    }
  }
}

TEST_F(OverlayTest, ColoursTextsByCyclingAndSameColourSettings) {
  session.Set("quillon_color", "#102030");
  const char* ownColors[] = {"quillon_resetcolor",  "quillon_resetnumcolor",
                             "quillon_heightcolor", "quillon_heightnumcolor",
                             "quillon_timecolor",   "quillon_timenumcolor"};
  for (int i = 0; i < 6; ++i) session.Set(ownColors[i], "#0" + std::to_string(i + 1) + "0000");

  struct Case {
    const char* cycling;
    const char* sameColor;
    std::size_t setColorCalls;
    std::vector<std::string> colors;  // of the six texts; empty: the frame's one cycle colour
  };
  const Case cases[] = {
      {"1", "1", 1, {}},
      {"1", "0", 1, {}},
      {"0", "1", 1, std::vector<std::string>(6, "linear SetColor 16 32 48 255")},
      {"0",
       "0",
       7,
       {"linear SetColor 1 0 0 255", "linear SetColor 2 0 0 255", "linear SetColor 3 0 0 255",
        "linear SetColor 4 0 0 255", "linear SetColor 5 0 0 255", "linear SetColor 6 0 0 255"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("cycling ") + c.cycling + ", same colour " + c.sameColor);
    session.Set("quillon_rgb_enabled", c.cycling);
    session.Set("quillon_samecolorenabled", c.sameColor);
    session.Frame();
    const auto& calls = session.LastFrameCalls();
    ASSERT_FALSE(calls.empty());
    std::vector<std::string> expected = c.colors;
    if (expected.empty()) {
      ASSERT_TRUE(std::holds_alternative<host::SetColorBytes>(calls.front()));
      expected.assign(6, "bytes " + host::DescribeCall(calls.front()));
    } else {
      EXPECT_EQ(host::DescribeCall(calls.front()), "SetColor 16 32 48 255");
    }
    std::vector<std::string> colors;
    for (const auto& [text, color] : TextColors(calls)) colors.push_back(color);
    EXPECT_EQ(colors, expected);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), testing_support::IsSetColor),
              static_cast<std::ptrdiff_t>(c.setColorCalls));
  }
}

TEST_F(OverlayTest, AChangedSettingShowsOnTheNextFrame) {
  session.Frame();
  EXPECT_EQ(Positions()[2].Y, 30.0f);
  session.Set("quillon_textsize", "1");
  session.Frame();
  EXPECT_EQ(Positions()[2].Y, 15.0f);
  session.Set("quillon_dropshadows", "0");
  session.Frame();
  EXPECT_EQ(Trace(session.LastFrameCalls())[2], "DrawString \"Resets: \" 1 1 false false");
}

TEST_F(OverlayTest, ShowsZerosForANewChainAndCountsInFullWithoutSeparators) {
  PlayChain(2, kBallAt41Point7Percent, 1.0);
  ASSERT_EQ(session.Frame(), "Resets: 2 | Height: 42 | Time: 1.00");
  session.Fire("ballground");
  session.Fire("jump");
  EXPECT_EQ(session.Frame(), "Resets: 0 | Height: 0 | Time: 0.00");
  session.Set("quillon_heightdecimal", "1");
  EXPECT_EQ(session.Frame(), "Resets: 0 | Height: 0.00 | Time: 0.00");

  PlayChain(1000, kBallAtMinus0Point3Percent, 2.5);
  EXPECT_EQ(session.Frame(), "Resets: 1000 | Height: -0.30 | Time: 2.50");
  session.Set("quillon_heightdecimal", "0");
  EXPECT_EQ(session.Frame(), "Resets: 1000 | Height: -0 | Time: 2.50");
}

// Values no hook sequence can produce (heights and intervals off the millisecond grid, negative
// counts) are written into the record directly.
TEST_F(OverlayTest, WritesNumbersAsTheClassicLocaleDoes) {
  struct Case {
    std::int32_t count;
    float height;
    double interval;
    const char* decimals;
    const char* text;
  };
  const Case cases[] = {
      {3, 57.6f, 12.345678, "0", "Resets: 3 | Height: 58 | Time: 12.35"},
      {3, 57.6f, 12.345678, "1", "Resets: 3 | Height: 57.60 | Time: 12.35"},
      {1, 12.345f, 0.125, "1", "Resets: 1 | Height: 12.35 | Time: 0.12"},  // ties round to even
      {7, 0.5f, 0.375, "0", "Resets: 7 | Height: 0 | Time: 0.38"},
      // The count reads as unsigned; the interval is narrowed to single precision first.
      {-1, 1e7f, 123456789.123, "1",
       "Resets: 4294967295 | Height: 10000000.00 | Time: 123456792.00"},
      {std::numeric_limits<std::int32_t>::min(), -0.0f, 0.005, "0",
       "Resets: 2147483648 | Height: -0 | Time: 0.00"},
      {2147483647, kInf, 0.0, "1", "Resets: 2147483647 | Height: inf | Time: 0.00"},
      {1234567, kNaN, std::numeric_limits<double>::quiet_NaN(), "0",
       "Resets: 1234567 | Height: nan | Time: nan"},
  };
  for (const auto& c : cases) {
    session.Set("quillon_heightdecimal", c.decimals);
    session.Plugin().record.resetCount = c.count;
    session.Plugin().record.resetHeight = c.height;
    session.Plugin().record.resetInterval = c.interval;
    EXPECT_EQ(session.Frame(), c.text);
  }
}

// Sizes the settings do not admit, written straight into the bound value: the line step is cut to
// the integer range instead of overflowing, and a size that is not a number gives no step.
TEST_F(OverlayTest, TextSizesBeyondTheRangeGiveDefinedLineSteps) {
  constexpr float kMaxStep = 2147483648.0f;
  struct Case {
    float size;
    float tops[3];
  };
  const Case cases[] = {
      {kNaN, {0.0f, 0.0f, 0.0f}},
      {-kNaN, {0.0f, 0.0f, 0.0f}},
      {kInf, {0.0f, kMaxStep, 2 * kMaxStep}},
      {1e30f, {0.0f, kMaxStep, 2 * kMaxStep}},
      {2e8f, {0.0f, kMaxStep, 2 * kMaxStep}},
      {-kInf, {0.0f, -kMaxStep, -2 * kMaxStep}},
      {-1e30f, {0.0f, -kMaxStep, -2 * kMaxStep}},
      {-1.0f, {0.0f, -15.0f, -30.0f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("size " + std::to_string(c.size));
    *session.Plugin().textSize = c.size;
    session.Frame();
    EXPECT_EQ(TextColors(session.LastFrameCalls()).size(), 6u);
    const auto positions = Positions();
    ASSERT_EQ(positions.size(), 6u);
    for (int line = 0; line < 3; ++line) {
      EXPECT_EQ(positions[2 * line].Y, c.tops[line]);
      EXPECT_EQ(positions[2 * line + 1].Y, c.tops[line]);
    }
  }
}

// Outside a practice game, or switched off, nothing reaches the canvas and the colour cycle stands
// still. Custom training is asked about only when the game is not free play.
TEST(OverlayGate, DrawsOnlyInFreeplayOrCustomTrainingWhenEnabled) {
  struct Case {
    GameMode mode;
    const char* enabled;
    bool drawn;
    std::size_t trainingQuestionsPerFrame;
  };
  const Case cases[] = {
      {GameMode::Menu, "1", false, 0},     {GameMode::Match, "1", false, 1},
      {GameMode::Freeplay, "0", false, 0}, {GameMode::Training, "0", false, 1},
      {GameMode::Freeplay, "1", true, 0},  {GameMode::Training, "1", true, 1},
  };
  constexpr std::size_t kFrames = 5;
  for (const auto& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(static_cast<int>(c.mode)) + ", enabled " + c.enabled);
    PluginSession session;
    session.StartFreeplay();
    session.Set("quillon_enabled", c.enabled);
    session.Set("quillon_rgb_enabled", "1");
    session.Mode(c.mode);
    const std::size_t askedBefore = session.Host().CustomTrainingQuestions();
    for (std::size_t i = 0; i < kFrames; ++i) {
      session.Frame();
      EXPECT_EQ(session.LastFrameCalls().empty(), !c.drawn);
    }
    EXPECT_EQ(session.Host().CustomTrainingQuestions() - askedBefore,
              kFrames * c.trainingQuestionsPerFrame);
    // The first frame that is drawn shows phase 0 exactly when none was drawn before.
    session.Mode(GameMode::Freeplay);
    session.Set("quillon_enabled", "1");
    session.Frame();
    ASSERT_FALSE(session.LastFrameCalls().empty());
    EXPECT_EQ(host::DescribeCall(session.LastFrameCalls().front()) == "SetColor 127 243 30 255",
              !c.drawn);
  }
}

}  // namespace
