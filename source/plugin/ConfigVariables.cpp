// Registers the configuration variables and binds each to the plugin's shared value.
#include "ConfigVariables.h"

#include <optional>

#include "QuillonPlugin.h"

namespace {

using namespace quillon::cvar;

struct Range {
  float min;
  float max;
};

struct VariableDefinition {
  const char* name;
  const char* defaultValue;
  const char* description;
  std::optional<Range> range;  // colours have neither bound
};

constexpr Range kSwitch{0.0f, 1.0f};
constexpr Range kPosition{0.0f, 10000.0f};

// Makes the variable, binds a copy of `value` to it and lets the handle go.
template <typename T>
void RegisterAndBind(CVarManagerWrapper& cvars, const VariableDefinition& definition,
                     const std::shared_ptr<T>& value) {
  const bool bounded = definition.range.has_value();
  const Range range = definition.range.value_or(Range{0.0f, 0.0f});
  CVarWrapper variable =
      cvars.registerCvar(definition.name, definition.defaultValue, definition.description, true,
                         bounded, range.min, bounded, range.max, true);
  variable.bindTo(value);
}

template <typename T>
void Register(CVarManagerWrapper& cvars, const VariableDefinition& definition,
              std::shared_ptr<T>& member, T initial) {
  member = std::make_shared<T>(initial);
  RegisterAndBind(cvars, definition, member);
}

const VariableDefinition kColorDefinitions[] = {
    {kTextColor, "#FFFF00", "Color of all text", std::nullopt},
    {kResetLabelColor, "#FFFF00", "Color of reset label", std::nullopt},
    {kResetNumberColor, "#FFFF00", "Color of reset number", std::nullopt},
    {kHeightLabelColor, "#FFFF00", "Color of height label", std::nullopt},
    {kHeightNumberColor, "#FFFF00", "Color of height number", std::nullopt},
    {kTimeLabelColor, "#FFFF00", "Color of timer label", std::nullopt},
    {kTimeNumberColor, "#FFFF00", "Color of timer number", std::nullopt},
};

}  // namespace

void QuillonPlugin::RegisterVariables() {
  CVarManagerWrapper& cvars = *cvarManager;
  Register(cvars, {kEnabled, "0", "Enable plugin", kSwitch}, enabled, true);
  // Both position values exist before either position variable is registered.
  positionX = std::make_shared<int>(0);
  positionY = std::make_shared<int>(0);
  RegisterAndBind(cvars, {kPositionX, "0", "Quillon Text Position X", kPosition}, positionX);
  RegisterAndBind(cvars, {kPositionY, "0", "Quillon Text Position Y", kPosition}, positionY);
  Register(cvars, {kTextSize, "2", "Quillon Text Size", Range{0.0f, 10.0f}}, textSize, 2.0f);
  Register(cvars, {kDropShadows, "1", "Display text with drop shadows", kSwitch}, dropShadows,
           true);
  Register(cvars, {kHeightDecimal, "0", "Show decimals on the height percentage", kSwitch},
           heightDecimal, false);
  Register(cvars, {kSameColorEnabled, "1", "Use the same color for all labels/numbers", kSwitch},
           sameColorEnabled, true);
  std::shared_ptr<LinearColor>* const colorMembers[] = {
      &textColor,         &resetLabelColor, &resetNumberColor, &heightLabelColor,
      &heightNumberColor, &timeLabelColor,  &timeNumberColor,
  };
  for (std::size_t i = 0; i < std::size(kColorDefinitions); ++i) {
    Register(cvars, kColorDefinitions[i], *colorMembers[i], LinearColor{0.0f, 0.0f, 0.0f, 0.0f});
  }
  Register(cvars, {kRgbEnabled, "0", "Enable rgb colors", kSwitch}, rgbEnabled, false);
  Register(cvars, {kRgbSpeed, "1", "Enable rgb colors", Range{0.0f, 2.0f}}, rgbSpeed, 1.0f);
  Register(cvars, {kKeepOnScreen, "0", "Keep the overlay on a smaller screen", kSwitch},
           keepOnScreen, false);
  Register(cvars, {kAnnounceBest, "1", "Announce a new best chain with a toast", kSwitch},
           announceBest, true);
  Register(cvars, {kRecordSessions, "0", "Record practice sessions to the data folder", kSwitch},
           recordSessions, false);
}
