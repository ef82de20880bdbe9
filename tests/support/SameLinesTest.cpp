// The line-by-line comparison's message: only the lines that differ, numbered in their own list.
#include "SameLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct Difference {
  const char* name;
  Lines actual;
  Lines expected;
  std::string message;  // empty: the lists are the same
};

class SameLinesTest : public ::testing::TestWithParam<Difference> {};

TEST_P(SameLinesTest, ShowsOnlyTheLinesThatDiffer) {
  const auto result =
      testing_support::SameLines("actual", "expected", GetParam().actual, GetParam().expected);
  EXPECT_EQ(static_cast<bool>(result), GetParam().message.empty());
  if (!result) {
    EXPECT_EQ(result.message(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SameLinesTest,
    ::testing::Values(
        Difference{"Same", {"a", "b"}, {"a", "b"}, ""},
        Difference{"OneLineMoreInTheMiddle",
                   {"a", "b", "new", "c", "d"},
                   {"a", "b", "c", "d"},
                   "actual (5 lines, '+') differs from expected (4 lines, '-') in 1 line:\n"
                   "  + 3: \"new\""},
        Difference{"OneLineChanged",
                   {"a", "B", "c"},
                   {"a", "b", "c"},
                   "actual (3 lines, '+') differs from expected (3 lines, '-') in 2 lines:\n"
                   "  - 2: \"b\"\n"
                   "  + 2: \"B\""},
        Difference{"LastLineMissing",
                   {"a"},
                   {"a", "b"},
                   "actual (1 lines, '+') differs from expected (2 lines, '-') in 1 line:\n"
                   "  - 2: \"b\""},
        Difference{"AgainstNothing",
                   {"a", "b"},
                   {},
                   "actual (2 lines, '+') differs from expected (0 lines, '-') in 2 lines:\n"
                   "  + 1: \"a\"\n"
                   "  + 2: \"b\""},
        Difference{"ManyDifferencesAreCut",
                   Lines(22, "x"),
                   {},
                   "actual (22 lines, '+') differs from expected (0 lines, '-') in 22 lines:\n"
                   "  + 1: \"x\"\n  + 2: \"x\"\n  + 3: \"x\"\n  + 4: \"x\"\n  + 5: \"x\"\n"
                   "  + 6: \"x\"\n  + 7: \"x\"\n  + 8: \"x\"\n  + 9: \"x\"\n  + 10: \"x\"\n"
                   "  + 11: \"x\"\n  + 12: \"x\"\n  + 13: \"x\"\n  + 14: \"x\"\n  + 15: \"x\"\n"
                   "  + 16: \"x\"\n  + 17: \"x\"\n  + 18: \"x\"\n  + 19: \"x\"\n  + 20: \"x\"\n"
                   "  ... and 2 more"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SameLines, NamesAListWrittenOutByItsRole) {
  const auto result = testing_support::SameLines(
      "window.Draw()", "WithStatistics({\"a line of the page written out\", \"and another one\"})",
      {"a"}, {"b"});
  EXPECT_EQ(result.message(),
            std::string("window.Draw() (1 lines, '+') differs from the expected lines (1 lines, "
                        "'-') in 2 lines:\n  - 1: \"b\"\n  + 1: \"a\""));
}

}  // namespace
