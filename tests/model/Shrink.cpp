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

namespace {

// The trial with the advance at `from` taken out and its time added to the advance at `into`.
std::vector<Step> Moved(const std::vector<Step>& steps, std::size_t from, std::size_t into) {
  std::vector<Step> trial = steps;
  std::get<Advance>(trial[into]).ticks += std::get<Advance>(steps[from]).ticks;
  trial.erase(trial.begin() + static_cast<std::ptrdiff_t>(from));
  return trial;
}

}  // namespace

std::vector<Step> JoinAdvances(std::vector<Step> steps, const FailureCheck& fails) {
  std::vector<std::size_t> advances;
  for (bool joined = true; joined;) {
    joined = false;
    advances.clear();
    for (std::size_t i = 0; i < steps.size(); ++i) {
      if (std::holds_alternative<Advance>(steps[i])) advances.push_back(i);
    }
    for (std::size_t k = 0; k < advances.size() && !joined; ++k) {
      for (const std::size_t into : {k + 1, k - 1}) {
        if (into >= advances.size()) continue;  // no advance on that side (k - 1 wraps)
        auto trial = Moved(steps, advances[k], advances[into]);
        if (fails(trial)) {
          steps = std::move(trial);
          joined = true;
          break;
        }
      }
    }
  }
  return steps;
}

}  // namespace model
