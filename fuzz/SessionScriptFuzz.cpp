// libFuzzer target: any bytes given to the session-script parser are either read as steps or
// refused with a "FILE:LINE: message" error; never a crash, a hang or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "SessionScript.h"
#include "ValueText.h"

namespace {

// Variables as the console knows them: a few numbers and a colour.
std::optional<std::string> CheckVariable(std::string_view name,
                                         std::optional<std::string_view> value) {
  const bool color = name == "quillon_color";
  if (!color && name != "quillon_textsize" && name != "quillon_enabled") {
    return "unknown variable '" + std::string(name) + "'";
  }
  if (!value) return std::nullopt;
  const bool accepted = color ? pluginsdk::ParseColor(*value).has_value()
                              : pluginsdk::ParseNumber(*value).has_value();
  if (!accepted) return "refused";
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const auto steps = host::ParseSession(text, "fuzz.session", CheckVariable);
    std::int64_t previous = 0;
    for (const auto& step : steps) {
      // What the parser promises about every step it accepts.
      if (step.line < 1 || step.ticks < previous) std::abort();
      previous = step.ticks;
    }
  } catch (const host::ScriptError& error) {
    if (!std::string_view(error.what()).starts_with("fuzz.session:")) std::abort();
  }
  return 0;
}
