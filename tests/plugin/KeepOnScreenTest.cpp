// "Keep Overlay On Screen": a block placed for a large screen moves back onto a smaller one.
#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "PluginSession.h"
#include "Practice.h"

namespace {

// The lines' widths at size 2: "Resets: 3" 126, "Height: 42" 140, "Time: 1.25" 140 pixels (the
// canvas font is 7 by 13 pixels a glyph); each line is 26 pixels tall and 30 below the last.
struct Placement {
  const char* name;
  const char* keepOnScreen;
  Vector2 position;
  Vector2 screen;
  Vector2F drawnAt;  // left edge and top of the first line as drawn
};

class KeepOnScreenTest : public ::testing::TestWithParam<Placement> {};

TEST_P(KeepOnScreenTest, TheBlockMovesBackByItsOverflowButNeverPastZero) {
  const Placement& c = GetParam();
  testing_support::PluginSession session;
  testing_support::Practice(session).Play("ball:869.4789 jump reset +1 reset +1.254 reset");
  session.Set("quillon_enabled", "1");
  session.Set("quillon_keep_on_screen", c.keepOnScreen);
  session.Set("quillon_posx", std::to_string(c.position.X));
  session.Set("quillon_posy", std::to_string(c.position.Y));
  session.Screen(c.screen);
  ASSERT_EQ(session.Frame(), "Resets: 3 | Height: 42 | Time: 1.25");

  std::vector<Vector2F> positions;
  int sizeQuestions = 0;
  for (const auto& call : session.LastFrameCalls()) {
    if (const auto* move = std::get_if<host::SetPositionCall>(&call)) {
      positions.push_back(move->position);
    }
    if (const auto* size = std::get_if<host::CanvasSizeCall>(&call)) {
      EXPECT_EQ(size->size, c.screen);
      ++sizeQuestions;
    }
  }
  EXPECT_EQ(sizeQuestions, std::string(c.keepOnScreen) == "1" ? 1 : 0);
  const float x = c.drawnAt.X;
  const float y = c.drawnAt.Y;
  // Labels at the block's left edge, numbers after their labels, lines 30 apart as ever.
  EXPECT_EQ(
      positions,
      (std::vector<Vector2F>{
          {x, y}, {x + 112, y}, {x, y + 30}, {x + 112, y + 30}, {x, y + 60}, {x + 84, y + 60}}));
}

INSTANTIATE_TEST_SUITE_P(
    Placements, KeepOnScreenTest,
    ::testing::Values(
        Placement{"OffStaysWhereSetPastTheEdge", "0", {1850, 1050}, {1280, 720}, {1850, 1050}},
        Placement{"OnAndInsideStays", "1", {100, 200}, {1920, 1080}, {100, 200}},
        Placement{"OnAndJustInsideStays", "1", {1780, 994}, {1920, 1080}, {1780, 994}},
        Placement{"WidestLineDecidesTheRightEdge", "1", {1850, 100}, {1920, 1080}, {1780, 100}},
        Placement{"LastLineDecidesTheBottom", "1", {0, 1050}, {1920, 1080}, {0, 994}},
        Placement{
            "PlacedForALargeScreenPlayedOnASmaller", "1", {1800, 1050}, {1280, 720}, {1140, 634}},
        Placement{"AScreenSmallerThanTheBlockStopsAtZero", "1", {500, 300}, {100, 50}, {0, 0}},
        Placement{"AtZeroStaysAtZero", "1", {0, 0}, {100, 50}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
