#pragma once
// The plugin's configuration variables, each declared once: registration, the settings page's
// controls, the recording's set steps and the tests all take them from this table. A new variable
// is a member in QuillonPlugin.h, a name in ConfigVariables.h and a row here.
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

#include "ConfigVariables.h"
#include "QuillonPlugin.h"

namespace quillon::cvar {

// The member that holds a variable's bound value, and what it holds from its making until the
// host's first write.
template <typename T>
struct Bound {
  std::shared_ptr<T> QuillonPlugin::*member;
  T initial;
};

// The value's type decides the variable's kind: a switch, an integer, a float or a colour.
using Binding = std::variant<Bound<bool>, Bound<int>, Bound<float>, Bound<LinearColor>>;

struct Range {
  float min;
  float max;
};

// When the settings page shows a variable's control.
enum class Shown : std::uint8_t {
  kAlways,
  kWithSameColor,  // while one colour serves every text
  kWithOwnColors,  // while each text has a colour of its own
};

struct Variable {
  const char* name;
  const char* defaultValue;
  const char* description;
  std::optional<Range> range;  // colours have neither bound
  Binding bound;
  const char* label;  // of its control on the settings page
  // Digits after the point on a float's slider; none: as many as a step of a thousandth of its
  // range needs (SliderFormat.h).
  std::optional<int> decimals = std::nullopt;
  Shown shown = Shown::kAlways;
  // Set at the start of every recording and whenever it changes, so a replay draws what play
  // drew. Only the recording's own switch is left out: a replay must not record again.
  bool recorded = true;
  // Its value and the next variable's are both made before either is registered.
  bool madeWithNext = false;
};

inline constexpr Range kSwitch{0.0f, 1.0f};
inline constexpr Range kPosition{0.0f, 10000.0f};

// In the order they are registered, the settings page shows them and a recording sets them.
inline const Variable kVariables[] = {
    {.name = kEnabled,
     .defaultValue = "0",
     .description = "Enable plugin",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::enabled, true},
     .label = "Enable Quillon Plugin"},
    {.name = kPositionX,
     .defaultValue = "0",
     .description = "Quillon Text Position X",
     .range = kPosition,
     .bound = Bound<int>{&QuillonPlugin::positionX, 0},
     .label = "Quillon Position X",
     .madeWithNext = true},
    {.name = kPositionY,
     .defaultValue = "0",
     .description = "Quillon Text Position Y",
     .range = kPosition,
     .bound = Bound<int>{&QuillonPlugin::positionY, 0},
     .label = "Quillon Position Y"},
    {.name = kTextSize,
     .defaultValue = "2",
     .description = "Quillon Text Size",
     .range = Range{0.0f, 10.0f},
     .bound = Bound<float>{&QuillonPlugin::textSize, 2.0f},
     .label = "Text Size",
     .decimals = 3},
    {.name = kDropShadows,
     .defaultValue = "1",
     .description = "Display text with drop shadows",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::dropShadows, true},
     .label = "Enable Drop Shadows"},
    {.name = kHeightDecimal,
     .defaultValue = "0",
     .description = "Show decimals on the height percentage",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::heightDecimal, false},
     .label = "Enable Height Decimal"},
    {.name = kSameColorEnabled,
     .defaultValue = "1",
     .description = "Use the same color for all labels/numbers",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::sameColorEnabled, true},
     .label = "Use Same Color For All Text"},
    {.name = kTextColor,
     .defaultValue = "#FFFF00",
     .description = "Color of all text",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::textColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Text Color",
     .shown = Shown::kWithSameColor},
    {.name = kResetLabelColor,
     .defaultValue = "#FFFF00",
     .description = "Color of reset label",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::resetLabelColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Reset Label Color",
     .shown = Shown::kWithOwnColors},
    {.name = kResetNumberColor,
     .defaultValue = "#FFFF00",
     .description = "Color of reset number",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::resetNumberColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Reset Number Color",
     .shown = Shown::kWithOwnColors},
    {.name = kHeightLabelColor,
     .defaultValue = "#FFFF00",
     .description = "Color of height label",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::heightLabelColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Height Label Color",
     .shown = Shown::kWithOwnColors},
    {.name = kHeightNumberColor,
     .defaultValue = "#FFFF00",
     .description = "Color of height number",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::heightNumberColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Height Number Color",
     .shown = Shown::kWithOwnColors},
    {.name = kTimeLabelColor,
     .defaultValue = "#FFFF00",
     .description = "Color of timer label",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::timeLabelColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Timer Label Color",
     .shown = Shown::kWithOwnColors},
    {.name = kTimeNumberColor,
     .defaultValue = "#FFFF00",
     .description = "Color of timer number",
     .range = std::nullopt,
     .bound = Bound<LinearColor>{&QuillonPlugin::timeNumberColor, {0.0f, 0.0f, 0.0f, 0.0f}},
     .label = "Timer Number Color",
     .shown = Shown::kWithOwnColors},
    {.name = kRgbEnabled,
     .defaultValue = "0",
     .description = "Enable rgb colors",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::rgbEnabled, false},
     .label = "Enable Gamer Mode"},
    {.name = kRgbSpeed,
     .defaultValue = "1",
     .description = "Enable rgb colors",
     .range = Range{0.0f, 2.0f},
     .bound = Bound<float>{&QuillonPlugin::rgbSpeed, 1.0f},
     .label = "RGB Cycle Speed",
     .decimals = 3},
    // Added after the sixteen the overlay began with.
    {.name = kKeepOnScreen,
     .defaultValue = "0",
     .description = "Keep the overlay on a smaller screen",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::keepOnScreen, false},
     .label = "Keep Overlay On Screen"},
    {.name = kAnnounceBest,
     .defaultValue = "1",
     .description = "Announce a new best chain with a toast",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::announceBest, true},
     .label = "Announce A New Best Chain"},
    {.name = kRecordSessions,
     .defaultValue = "0",
     .description = "Record practice sessions to the data folder",
     .range = kSwitch,
     .bound = Bound<bool>{&QuillonPlugin::recordSessions, false},
     .label = "Record Practice Sessions",
     .recorded = false},
};

}  // namespace quillon::cvar
