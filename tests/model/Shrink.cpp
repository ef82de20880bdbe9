#include "Shrink.h"

#include <algorithm>

namespace model {

std::vector<Step> Shrink(std::vector<Step> steps, const FailureCheck& fails) {
  std::size_t parts = 2;
  while (steps.size() >= 2) {
    const std::size_t chunk = (steps.size() + parts - 1) / parts;
    bool removed = false;
    for (std::size_t start = 0; start < steps.size(); start += chunk) {
      std::vector<Step> rest(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(start));
      rest.insert(
          rest.end(),
          steps.begin() + static_cast<std::ptrdiff_t>(std::min(start + chunk, steps.size())),
          steps.end());
      if (fails(rest)) {
        steps = std::move(rest);
        parts = std::max<std::size_t>(parts - 1, 2);
        removed = true;
        break;
      }
    }
    if (removed) continue;
    if (chunk == 1) break;  // no single step can go
    parts = std::min(parts * 2, steps.size());
  }
  return steps;
}

std::vector<Step> MergeAdvances(const std::vector<Step>& steps) {
  std::vector<Step> merged;
  for (const Step& step : steps) {
    const auto* advance = std::get_if<Advance>(&step);
    auto* previous = merged.empty() ? nullptr : std::get_if<Advance>(&merged.back());
    if (advance != nullptr && previous != nullptr) {
      previous->ticks += advance->ticks;
    } else {
      merged.push_back(step);
    }
  }
  return merged;
}

}  // namespace model
