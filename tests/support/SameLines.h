#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// Compares two lists of lines, for EXPECT_PRED_FORMAT2(testing_support::SameLines, actual,
// expected). When they differ the message shows only the lines that differ, each with its number
// in its own list, so that a page of forty lines with one line too many reads as that one line.
::testing::AssertionResult SameLines(const char* actualExpression, const char* expectedExpression,
                                     const std::vector<std::string>& actual,
                                     const std::vector<std::string>& expected);

}  // namespace testing_support
