#include "Patterns.h"

#include <regex>

namespace testing_support {

bool MatchesPattern(const std::string& text, const std::string& pattern) {
  return std::regex_match(text, std::regex(pattern));
}

std::string ReplacePattern(const std::string& text, const std::string& pattern,
                           const std::string& replacement) {
  return std::regex_replace(text, std::regex(pattern), replacement);
}

}  // namespace testing_support
