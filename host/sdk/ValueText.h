#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "SdkExport.h"
#include "WrapperStructs.h"

namespace pluginsdk {

// A decimal number as the console reads it ("2", "-0.5", "1e3", "inf"; surrounding blanks allowed).
// Not-a-number and anything else is refused.
PLUGINSDK_API std::optional<double> ParseNumber(std::string_view text);

// A colour as the console reads it: "#RRGGBB" (alpha 255), "#RRGGBBAA" or "(R, G, B, A)" with
// components from 0 to 255.
PLUGINSDK_API std::optional<LinearColor> ParseColor(std::string_view text);

// Shortest text that reads back as the same value; whole numbers without a point.
PLUGINSDK_API std::string FormatNumber(double value);
PLUGINSDK_API std::string FormatNumber(float value);
PLUGINSDK_API std::string FormatColor(LinearColor value);

}  // namespace pluginsdk
