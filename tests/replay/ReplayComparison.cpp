#include "ReplayComparison.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace replay {
namespace {

constexpr std::string_view kGroupSeparator = " | ";
constexpr std::string_view kTimeLabel = "Time: ";

std::vector<std::string_view> Groups(std::string_view line) {
  std::vector<std::string_view> groups;
  for (std::size_t end = line.find(kGroupSeparator); end != std::string_view::npos;
       end = line.find(kGroupSeparator)) {
    groups.push_back(line.substr(0, end));
    line.remove_prefix(end + kGroupSeparator.size());
  }
  groups.push_back(line);
  return groups;
}

// The number after the last "Time: " when the group ends in one, with the text before it.
struct TimedGroup {
  std::string_view label;
  double seconds;
};

std::optional<TimedGroup> SplitTime(std::string_view group) {
  const std::size_t at = group.rfind(kTimeLabel);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view number = group.substr(at + kTimeLabel.size());
  double seconds = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), seconds,
                                            std::chars_format::fixed);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return TimedGroup{group.substr(0, at + kTimeLabel.size()), seconds};
}

bool SameGroup(std::string_view expected, std::string_view actual, double timeTolerance) {
  if (expected == actual) return true;
  const auto expectedTime = SplitTime(expected);
  const auto actualTime = SplitTime(actual);
  // Both print with two decimals; the margin keeps 0.05 apart within a tolerance of 0.05.
  constexpr double kPrintedMargin = 1e-9;
  return expectedTime && actualTime && expectedTime->label == actualTime->label &&
         std::abs(expectedTime->seconds - actualTime->seconds) <= timeTolerance + kPrintedMargin;
}

// The seconds a step's line begins with ("3.100 ..."), and the rest of the line after them.
std::optional<std::pair<double, std::string_view>> SplitStepTime(std::string_view line) {
  double seconds = 0.0;
  const auto [end, error] =
      std::from_chars(line.data(), line.data() + line.size(), seconds, std::chars_format::fixed);
  if (error != std::errc() || end == line.data() + line.size() || *end != ' ') return std::nullopt;
  return std::pair{seconds, line.substr(static_cast<std::size_t>(end - line.data()))};
}

bool SameLine(std::string_view expected, std::string_view actual, double timeTolerance) {
  // A step in real time runs at its time or later, never earlier, and its line shows when it ran.
  const auto expectedStep = SplitStepTime(expected);
  const auto actualStep = SplitStepTime(actual);
  if (expectedStep && actualStep) {
    constexpr double kPrintedMargin = 1e-9;
    const double late = actualStep->first - expectedStep->first;
    if (late < -kPrintedMargin || late > timeTolerance + kPrintedMargin) return false;
    expected = expectedStep->second;
    actual = actualStep->second;
  }
  const auto expectedGroups = Groups(expected);
  const auto actualGroups = Groups(actual);
  if (expectedGroups.size() != actualGroups.size()) return false;
  for (std::size_t i = 0; i < expectedGroups.size(); ++i) {
    if (!SameGroup(expectedGroups[i], actualGroups[i], timeTolerance)) return false;
  }
  return true;
}

bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

std::optional<std::string> CompareReplays(std::istream& expected, std::istream& actual,
                                          double timeTolerance) {
  std::string expectedLine;
  std::string actualLine;
  for (int number = 1;; ++number) {
    const bool moreExpected = ReadLine(expected, expectedLine);
    const bool moreActual = ReadLine(actual, actualLine);
    const std::string where = "line " + std::to_string(number) + ": ";
    if (!moreExpected && !moreActual) return std::nullopt;
    if (!moreActual) return where + "missing, expected '" + expectedLine + "'";
    if (!moreExpected) return where + "'" + actualLine + "' is one line too many";
    if (!SameLine(expectedLine, actualLine, timeTolerance)) {
      return where + "expected '" + expectedLine + "', got '" + actualLine + "'";
    }
  }
}

}  // namespace replay
