// The settings page's statistics, below the settings: session figures, the all-time best, the
// latest chains as a histogram and the button that clears the session.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "ConfigVariables.h"
#include "NumberFormat.h"
#include "PlotText.h"
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

constexpr float kHistogramHeight = 60.0f;
constexpr std::string_view kNone = "-";

// Shows "LABEL" followed by `value` as one text line, built on the stack.
void ShowLine(std::string_view label, std::string_view value) {
  std::array<char, 128> line;
  const std::size_t labelSize = std::min(label.size(), line.size());
  const std::size_t valueSize = std::min(value.size(), line.size() - labelSize);
  std::copy_n(label.data(), labelSize, line.data());
  std::copy_n(value.data(), valueSize, line.data() + labelSize);
  ImGui::TextUnformatted(line.data(), line.data() + labelSize + valueSize);
}

void ShowCount(std::string_view label, std::uint64_t count) {
  std::array<char, 24> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), count).ptr;
  ShowLine(label, {digits.data(), static_cast<std::size_t>(end - digits.data())});
}

void ShowAverage(std::string_view label, std::uint64_t intervals, double intervalSum) {
  if (intervals == 0) {
    ShowLine(label, kNone);
    return;
  }
  std::array<char, 64> digits;
  const double average = intervalSum / static_cast<double>(intervals);
  auto result = std::to_chars(digits.data(), digits.data() + digits.size(), average,
                              std::chars_format::fixed, 2);
  if (result.ec != std::errc{}) {
    result = std::to_chars(digits.data(), digits.data() + digits.size(), average);
  }
  ShowLine(label, {digits.data(), static_cast<std::size_t>(result.ptr - digits.data())});
}

}  // namespace

void QuillonPlugin::DrawStatistics() {
  // One snapshot for the whole section, so its lines always belong together.
  const quillon::StatisticsSnapshot figures = statistics.Snapshot();
  ImGui::Separator();
  ImGui::TextUnformatted("Session statistics");
  ShowCount("Chains: ", figures.chains);
  ShowCount("Resets: ", figures.resets);
  ShowCount("Best chain: ", figures.bestChain);
  if (figures.resets == 0) {
    ShowLine("Highest reset: ", kNone);
  } else {
    // As the overlay writes the height; the variable read as the page reads every setting.
    CVarWrapper decimals = cvarManager->getCvar(quillon::cvar::kHeightDecimal);
    const bool twoDecimals = decimals && decimals.getBoolValue();
    const auto height = quillon::NumberText::Fixed(figures.highestReset, twoDecimals ? 2 : 0);
    ShowLine("Highest reset: ", height.View());
  }
  ShowAverage("Average time between resets: ", figures.intervals, figures.intervalSum);
  ShowCount("All-time best chain: ", figures.allTimeBestChain);
  const float* lengths = figures.recent.lengths.data();
  ImGui::PlotHistogram(
      "##latest chains", lengths, figures.recent.count, 0, "Resets per chain (last 50)", 0.0f,
      quillon::PlotScaleTop(lengths, figures.recent.count), ImVec2(0.0f, kHistogramHeight));
  quillon::LogPlotValues("histogram", figures.recent.lengths.data(), figures.recent.count);
  DrawPracticeDays(figures);
  if (ImGui::Button("Clear statistics")) ClearStatisticsLater();
}
