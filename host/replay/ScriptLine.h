#pragma once
// Steps written back as script lines, such that reading a line gives the very same step: the
// recorder's language.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "SessionScript.h"

namespace host {

// Seconds as exactly as a 100 ns tick: at least three decimals, as frame lines show time, and
// as many more as the tick needs ("4.400", "3.0000001").
void AppendExactTime(std::string& line, std::int64_t ticks);
std::string ExactTime(std::int64_t ticks);
// The same written at `out`, which has room for kExactTimeBytes; returns where the text ends.
inline constexpr std::size_t kExactTimeBytes = 28;
char* WriteExactTime(char* out, std::int64_t ticks);

// The step's words after its time: "event jump", "ball 0 0 1024.5",
// "set quillon_color \"(255, 0, 0, 255)\"", "expect \"Resets: 1 | ...\"".
void AppendAction(std::string& line, const StepAction& action);

// The word a mode step gives the mode: "menu", "freeplay", "training", "match".
const char* ModeWord(pluginsdk::GameMode mode);

// Whether a text can stand between a script's double quotes: a quote or a line break would end
// it (the script has no escapes).
bool Quotable(std::string_view text);

}  // namespace host
