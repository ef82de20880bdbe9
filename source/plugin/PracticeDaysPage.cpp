// The practice days on the settings page: how many days the player has practised, and the best
// chain of each of the latest, oldest on the left.
#include <algorithm>
#include <array>
#include <cfloat>
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
  ImGui::PlotLines("##best chain per day", figures.bestPerDay.bests.data(),
                   figures.bestPerDay.count, 0, "Best chain per day", 0.0f, FLT_MAX,
                   ImVec2(0.0f, kPlotHeight));
  quillon::LogPlotValues("lines", figures.bestPerDay.bests.data(), figures.bestPerDay.count);
}
