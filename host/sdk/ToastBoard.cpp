#include "ToastBoard.h"

#include <algorithm>
#include <cmath>

#include "HostClock.h"

namespace pluginsdk {
namespace {

constexpr float kDefaultWidth = 290.0f;
constexpr float kDefaultHeight = 60.0f;
constexpr float kLargestSide = 4096.0f;
// Longer than anyone would read one; keeps the end time far from overflow.
constexpr float kLongestSeconds = 3600.0f;

float Side(float asked, float fallback) {
  return asked > 0.0f && std::isfinite(asked) ? std::min(asked, kLargestSide) : fallback;
}

std::int64_t DurationTicks(float seconds) {
  if (!(seconds > 0.0f)) return 0;
  return std::llround(static_cast<double>(std::min(seconds, kLongestSeconds)) *
                      HostClock::kTicksPerSecond);
}

}  // namespace

void ToastBoard::Show(std::string title, std::string text, std::string texture, float seconds,
                      std::uint8_t type, float width, float height, std::int64_t now) {
  std::erase_if(toasts_, [now](const Toast& toast) { return toast.until <= now; });
  Toast& toast = toasts_.emplace_back(
      Toast{std::move(title), std::move(text), std::move(texture), type, Side(width, kDefaultWidth),
            Side(height, kDefaultHeight), now, now + DurationTicks(seconds)});
  if (output_) output_(toast);
}

std::vector<Toast> ToastBoard::OnScreen(std::int64_t now) const {
  std::vector<Toast> shown;
  for (const Toast& toast : toasts_) {
    if (toast.shownAt <= now && now < toast.until) shown.push_back(toast);
  }
  return shown;
}

}  // namespace pluginsdk
