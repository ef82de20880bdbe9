// Where the side view marks resets: from the overlay's count, frame by frame.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ResetMarks.h"

namespace {

// Each frame's text with the ball's height then, and the marks kept after it as "count@height".
TEST(ResetMarks, MarkEachNewCountWhereTheBallIsAndStartAgainWhenTheCountFalls) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, float>> frames;
    std::vector<std::string> marks;
  };
  const Case cases[] = {
      {"one mark a count, where the ball was when it first showed",
       {{"Resets: 0 | Height: 0 | Time: 0.00", 100.0f},
        {"Resets: 1 | Height: 50 | Time: 0.00", 1024.0f},
        {"Resets: 1 | Height: 50 | Time: 0.00", 400.0f},
        {"Resets: 2 | Height: 20 | Time: 1.10", 465.0f}},
       {"1@1024", "2@465"}},
      {"a count that falls starts a new chain's marks",
       {{"Resets: 3 | Height: 50 | Time: 0.00", 1024.0f},
        {"Resets: 1 | Height: 20 | Time: 0.00", 465.0f}},
       {"1@465"}},
      {"a cleared count drops them all",
       {{"Resets: 2 | Height: 50 | Time: 0.00", 1024.0f},
        {"Resets: 0 | Height: 0 | Time: 0.00", 465.0f}},
       {}},
      {"without the overlay, or another text, nothing changes",
       {{"Resets: 1 | Height: 50 | Time: 0.00", 1024.0f},
        {"", 465.0f},
        {"Resets: x", 465.0f},
        {"Hello", 465.0f}},
       {"1@1024"}},
      {"counts that jump while the overlay was off get one mark",
       {{"Resets: 1 | Height: 50 | Time: 0.00", 1024.0f},
        {"", 465.0f},
        {"Resets: 4 | Height: 20 | Time: 0.00", 465.0f}},
       {"1@1024", "4@465"}},
  };
  for (const Case& c : cases) {
    host::ResetMarks marks;
    for (const auto& [text, height] : c.frames) marks.Follow(text, Vector{0.0f, 0.0f, height});
    std::vector<std::string> kept;
    for (const host::ResetMark& mark : marks.Marks()) {
      kept.push_back(std::to_string(mark.count) + "@" +
                     std::to_string(static_cast<int>(mark.ball.Z)));
    }
    EXPECT_EQ(kept, c.marks) << c.name;
  }
}

TEST(ResetMarks, KeepTheLatestTwenty) {
  host::ResetMarks marks;
  for (int count = 1; count <= 25; ++count) {
    marks.Follow("Resets: " + std::to_string(count), Vector{0.0f, 0.0f, 100.0f});
  }
  ASSERT_EQ(marks.Marks().size(), host::ResetMarks::kKept);
  EXPECT_EQ(marks.Marks().front().count, 6);
  EXPECT_EQ(marks.Marks().back().count, 25);
}

}  // namespace
