// The practice days on the settings page: how many days the player has practised, and the best
// chain of each of the latest, oldest on the left.
#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "PlotText.h"
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

constexpr float kPlotHeight = 60.0f;
constexpr std::string_view kDaysLabel = "Days practised: ";

}  // namespace

void QuillonPlugin::DrawPracticeDays(const quillon::StatisticsSnapshot& figures) {
  std::array<char, 40> line;
  const auto labelEnd = std::copy(kDaysLabel.begin(), kDaysLabel.end(), line.begin());
  const auto end = std::to_chars(labelEnd, line.data() + line.size(), figures.daysPractised).ptr;
  ImGui::TextUnformatted(line.data(), end);
  const float* values = figures.bestPerDay.bests.data();
  int count = figures.bestPerDay.count;
  std::array<float, 2> level{};
  if (count == 1) {  // a line needs two points: a single day is drawn level at its best
    level = {values[0], values[0]};
    values = level.data();
    count = 2;
  }
  ImGui::PlotLines("##best chain per day", values, count, 0, "Best chain per day", 0.0f,
                   quillon::PlotScaleTop(values, count), ImVec2(0.0f, kPlotHeight));
  quillon::LogPlotValues("lines", figures.bestPerDay.bests.data(), figures.bestPerDay.count);
}
