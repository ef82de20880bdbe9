#include "SameLines.h"

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string_view>

namespace testing_support {

namespace {

// Beyond this many differing lines the message says how many more there are instead.
constexpr std::size_t kShownLines = 20;

struct Edit {
  char sign;  // '-' only in the expected list, '+' only in the actual one
  std::size_t line;
  const std::string* text;
};

// The shortest edit from `expected` to `actual`, by their longest common subsequence; the lists
// compared here are pages and traces of at most a few hundred lines once their common ends are cut.
std::vector<Edit> Edits(const std::vector<std::string>& actual,
                        const std::vector<std::string>& expected) {
  std::size_t head = 0;
  while (head < actual.size() && head < expected.size() && actual[head] == expected[head]) ++head;
  std::size_t tail = 0;
  while (tail < actual.size() - head && tail < expected.size() - head &&
         actual[actual.size() - 1 - tail] == expected[expected.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t n = expected.size() - head - tail;
  const std::size_t m = actual.size() - head - tail;
  // common[i][j]: the longest common subsequence of expected's and actual's middles from i and j.
  std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      common[i][j] = expected[head + i] == actual[head + j]
                         ? common[i + 1][j + 1] + 1
                         : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  std::vector<Edit> edits;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && expected[head + i] == actual[head + j]) {
      ++i;
      ++j;
    } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
      edits.push_back({'-', head + i + 1, &expected[head + i]});
      ++i;
    } else {
      edits.push_back({'+', head + j + 1, &actual[head + j]});
      ++j;
    }
  }
  return edits;
}

// An expression as the message names it: a long one (a list written out) is named by its role.
std::string Named(const char* expression, const char* role) {
  return std::string_view(expression).size() <= 60 ? expression : role;
}

}  // namespace

::testing::AssertionResult SameLines(const char* actualExpression, const char* expectedExpression,
                                     const std::vector<std::string>& actual,
                                     const std::vector<std::string>& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto edits = Edits(actual, expected);
  std::ostringstream message;
  message << Named(actualExpression, "the actual lines") << " (" << actual.size()
          << " lines, '+') differs from " << Named(expectedExpression, "the expected lines") << " ("
          << expected.size() << " lines, '-') in " << edits.size()
          << (edits.size() == 1 ? " line:" : " lines:");
  for (std::size_t k = 0; k < edits.size() && k < kShownLines; ++k) {
    message << "\n  " << edits[k].sign << ' ' << edits[k].line << ": \"" << *edits[k].text << '"';
  }
  if (edits.size() > kShownLines)
    message << "\n  ... and " << edits.size() - kShownLines << " more";
  return ::testing::AssertionFailure() << message.str();
}

}  // namespace testing_support
