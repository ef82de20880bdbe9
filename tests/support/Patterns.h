#pragma once
#include <string>

namespace testing_support {

// Regular expressions (ECMAScript grammar), compiled in one support file: std::regex's templates
// are heavy, and made once here instead of in every test program that matches a line.

// Whether the whole of `text` matches `pattern`.
bool MatchesPattern(const std::string& text, const std::string& pattern);

// `text` with every match of `pattern` replaced by `replacement`, where $1 stands for the first
// group.
std::string ReplacePattern(const std::string& text, const std::string& pattern,
                           const std::string& replacement);

}  // namespace testing_support
