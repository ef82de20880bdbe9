#pragma once
// Suggestions for a misspelt name: the known names nearest to it, so a message can say what was
// probably meant.
#include <string>
#include <string_view>
#include <vector>

namespace host {

// How many single-byte edits (insert, delete, replace, swap two neighbours) turn `a` into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The known names nearest to `typed`, in the order given, at most three: those at the smallest
// distance, when that distance is small for the typed name's length (at most a third of it, and
// at least 2). Empty when nothing comes near.
std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& known);

// What a message adds after naming an unknown `typed`: "; did you mean 'a'?" or
// "; did you mean 'a' or 'b'?"; empty when nothing comes near.
std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known);

}  // namespace host
