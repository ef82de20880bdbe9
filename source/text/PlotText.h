#pragma once
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

}  // namespace quillon
