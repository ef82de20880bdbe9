#pragma once
#include <string_view>

namespace quillon {

// Writes a plot's values into Dear ImGui's text log as a line of its own, "[KIND: 3 2]" ("-"
// when it has none), so a host that reads the page as text shows what the plot shows. Does
// nothing while no log is open, as in the game.
void LogPlotValues(std::string_view kind, const float* values, int count);

}  // namespace quillon
