#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace quillon {

// Writes a plot's values into Dear ImGui's text log as a line of its own, "[KIND: 3 2]" ("-"
// when it has none), so a host that reads the page as text shows what the plot shows. Does
// nothing while no log is open, as in the game.
void LogPlotValues(std::string_view kind, const float* values, int count);

// The top of a plot's scale: its largest value with four fifths as much room above it, so bars
// and lines keep to the lower part and the title along the plot's top edge stays readable.
// 1 when there is nothing to show.
float PlotScaleTop(const float* values, int count);

// The values at a plot's bottom and top edges.
struct PlotScale {
  float bottom = 0.0f;
  float top = 1.0f;
};

// A line's scale. From 0, as PlotScaleTop has it, while the values are all one; otherwise the
// bottom lies half their spread below the lowest (not below 0), so that a best of 9 then 11
// climbs visibly, and the highest keeps the same room above it for the title.
PlotScale LineScale(const float* values, int count);

// The point of a line of `count` points, spread from `left` to `right`, nearest to `x`.
int NearestPoint(float x, float left, float right, int count);

// Room for a value as a plot shows it, or a day's point: no heap, no locale.
using PlotValueText = std::array<char, 32>;
using DayPointText = std::array<char, 48>;

// The shortest text that reads back as the value ("11", "2.5").
std::string_view FormatPlotValue(float value, PlotValueText& text);

// A day's point as its tooltip says it: the local date (days since 1970-01-01) and the day's
// best, "2026-12-08: best chain 11". Days outside the years 0 to 9999 show as "?".
std::string_view FormatDayPoint(std::int32_t day, float best, DayPointText& text);

}  // namespace quillon
