#pragma once
#include <gtest/gtest.h>

#include <source_location>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The checks of a loop over many cases, told once each: for every kind of check that failed, what
// the first failing case showed and in how many of the cases it failed. A fault that every case
// shows then reads as one line instead of a message per case. Report() adds the one failure.
class Tally {
 public:
  // A check of the kind `kind` (a short fixed text) in the case `where`.
  template <class Actual, class Expected>
  void ExpectEq(std::string_view kind, const Actual& actual, const Expected& expected,
                std::string_view where) {
    const bool held = actual == expected;
    Record(kind, held, where,
           held ? std::string()
                : ::testing::PrintToString(actual) + ", expected " +
                      ::testing::PrintToString(expected) + ", ");
  }
  void ExpectTrue(std::string_view kind, bool held, std::string_view where) {
    Record(kind, held, where, {});
  }

  // Adds one test failure listing each kind of check that failed, if any did.
  void Report(std::source_location at = std::source_location::current()) const;

 private:
  struct Kind {
    std::string name;
    std::string first;  // what the first failing case showed, and which case it was
    int failed = 0;
    int checked = 0;
  };
  // `shown`: what a failing check saw, kept if it is its kind's first failure.
  void Record(std::string_view kind, bool held, std::string_view where, std::string shown);

  std::vector<Kind> kinds_;
};

}  // namespace testing_support
