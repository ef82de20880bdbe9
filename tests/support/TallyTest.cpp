// A loop's checks told once per kind: the first failing case and how many failed.
#include "Tally.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Tally, ReportsEachKindThatFailedOnceWithItsFirstCaseAndCount) {
  EXPECT_NONFATAL_FAILURE(
      {
        testing_support::Tally tally;
        for (int i = 0; i < 5; ++i) {
          tally.ExpectEq("held", i, i, "case " + std::to_string(i));  // never listed
          tally.ExpectEq("size", 40, 39, "case " + std::to_string(i));
          tally.ExpectTrue("drawn", i != 3, "case " + std::to_string(i));
        }
        tally.Report();
      },
      "checks that failed:\n"
      "  size: 40, expected 39, in case 0 (failed in 5 of 5 cases)\n"
      "  drawn: in case 3 (failed in 1 of 5 cases)");
}

}  // namespace
