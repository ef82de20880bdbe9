#include "NearestNames.h"

#include <algorithm>

#include "QuotedText.h"

namespace host {
namespace {

constexpr std::size_t kMostSuggestions = 3;

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  // Three rows of the usual table: the one before the previous is needed for swaps.
  std::vector<std::size_t> before(b.size() + 1);
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, row);
  }
  return previous[b.size()];
}

std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& known) {
  const std::size_t farthest = std::max<std::size_t>(2, typed.size() / 3);
  std::size_t nearest = farthest;
  std::vector<std::string> names;
  for (const auto& name : known) {
    const std::size_t distance = EditDistance(typed, name);
    if (distance > nearest) continue;
    if (distance < nearest) {
      nearest = distance;
      names.clear();
    }
    if (names.size() < kMostSuggestions) names.push_back(name);
  }
  return names;
}

std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known) {
  const auto names = NearestNames(typed, known);
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += i == 0 ? "; did you mean " : i + 1 == names.size() ? " or " : ", ";
    text += pluginsdk::QuoteText(names[i]);
  }
  return names.empty() ? text : text + '?';
}

}  // namespace host
