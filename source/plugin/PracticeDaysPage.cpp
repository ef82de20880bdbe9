// The practice days on the settings page: how many days the player has practised, and the best
// chain of each of the latest, oldest on the left, with the scale beside the line and each day's
// date and best under the mouse.
#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "PlotText.h"
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

constexpr float kPlotHeight = 60.0f;
constexpr float kHoveredPointRadius = 3.0f;
constexpr std::string_view kDaysLabel = "Days practised: ";
constexpr std::string_view kPlotTitle = "Best chain per day";

// Where a value lies across the plot's inner rectangle, top to bottom.
float HeightOf(float value, quillon::PlotScale scale, ImVec2 inner0, ImVec2 inner1) {
  const float share = std::clamp((value - scale.bottom) / (scale.top - scale.bottom), 0.0f, 1.0f);
  return inner1.y - share * (inner1.y - inner0.y);
}

// A value of the scale right of the plot, level with where the line shows it.
void DrawScaleValue(ImDrawList& list, float value, float x, float y, ImVec2 frame0, ImVec2 frame1) {
  quillon::PlotValueText text;
  const std::string_view digits = quillon::FormatPlotValue(value, text);
  const float half = ImGui::GetFontSize() / 2.0f;
  const float top = std::clamp(y - half, frame0.y, frame1.y - 2.0f * half);
  list.AddText(ImVec2(x, top), ImGui::GetColorU32(ImGuiCol_Text), digits.data(),
               digits.data() + digits.size());
}

// The line as Dear ImGui's own line plot draws it, which would give the hovered point's index
// where the player wants its date.
void DrawBestLine(const quillon::DayBests& days) {
  const float* values = days.bests.data();
  int count = days.count;
  std::array<float, 2> level{};
  if (count == 1) {  // a line needs two points: a single day is drawn level at its best
    level = {values[0], values[0]};
    values = level.data();
    count = 2;
  }
  const ImVec2 size(ImGui::CalcItemWidth(), kPlotHeight);
  // Drawn even where the window hides it: Dear ImGui clips it, and the title is still logged.
  ImGui::InvisibleButton("##best chain per day", size);
  const ImGuiStyle& style = ImGui::GetStyle();
  const ImVec2 frame0 = ImGui::GetItemRectMin();
  const ImVec2 frame1 = ImGui::GetItemRectMax();
  const ImVec2 inner0(frame0.x + style.FramePadding.x, frame0.y + style.FramePadding.y);
  const ImVec2 inner1(frame1.x - style.FramePadding.x, frame1.y - style.FramePadding.y);
  ImDrawList& list = *ImGui::GetWindowDrawList();
  list.AddRectFilled(frame0, frame1, ImGui::GetColorU32(ImGuiCol_FrameBg), style.FrameRounding);

  const quillon::PlotScale scale = quillon::LineScale(values, count);
  const auto xOf = [&](int i) {
    return inner0.x + (inner1.x - inner0.x) * static_cast<float>(i) / static_cast<float>(count - 1);
  };
  const ImU32 lineColour = ImGui::GetColorU32(ImGuiCol_PlotLines);
  for (int i = 0; i + 1 < count; ++i) {
    list.AddLine(ImVec2(xOf(i), HeightOf(values[i], scale, inner0, inner1)),
                 ImVec2(xOf(i + 1), HeightOf(values[i + 1], scale, inner0, inner1)), lineColour);
  }

  const ImVec2 titleSize =
      ImGui::CalcTextSize(kPlotTitle.data(), kPlotTitle.data() + kPlotTitle.size());
  list.AddText(ImVec2(frame0.x + (frame1.x - frame0.x - titleSize.x) / 2.0f, inner0.y),
               ImGui::GetColorU32(ImGuiCol_Text), kPlotTitle.data(),
               kPlotTitle.data() + kPlotTitle.size());
  ImGui::LogText("\n%.*s", static_cast<int>(kPlotTitle.size()), kPlotTitle.data());

  if (days.count == 0) return;
  const float* lowest = std::min_element(values, values + count);
  const float* highest = std::max_element(values, values + count);
  const float scaleX = frame1.x + style.ItemInnerSpacing.x;
  DrawScaleValue(list, *highest, scaleX, HeightOf(*highest, scale, inner0, inner1), frame0, frame1);
  if (*lowest < *highest) {
    DrawScaleValue(list, *lowest, scaleX, HeightOf(*lowest, scale, inner0, inner1), frame0, frame1);
  }

  if (!ImGui::IsItemHovered()) return;
  const int point = quillon::NearestPoint(ImGui::GetIO().MousePos.x, inner0.x, inner1.x, count);
  list.AddCircleFilled(ImVec2(xOf(point), HeightOf(values[point], scale, inner0, inner1)),
                       kHoveredPointRadius, ImGui::GetColorU32(ImGuiCol_PlotLinesHovered));
  const int day = std::min(point, days.count - 1);
  quillon::DayPointText text;
  const std::string_view said = quillon::FormatDayPoint(days.days[day], days.bests[day], text);
  ImGui::BeginTooltip();
  ImGui::TextUnformatted(said.data(), said.data() + said.size());
  ImGui::EndTooltip();
}

}  // namespace

void QuillonPlugin::DrawPracticeDays(const quillon::StatisticsSnapshot& figures) {
  std::array<char, 40> line;
  // Pointers, not the array's iterators: std::to_chars takes char*, which an iterator need not be.
  char* const labelEnd = std::copy(kDaysLabel.begin(), kDaysLabel.end(), line.data());
  const auto end = std::to_chars(labelEnd, line.data() + line.size(), figures.daysPractised).ptr;
  ImGui::TextUnformatted(line.data(), end);
  DrawBestLine(figures.bestPerDay);
  quillon::LogPlotValues("lines", figures.bestPerDay.bests.data(), figures.bestPerDay.count);
}
