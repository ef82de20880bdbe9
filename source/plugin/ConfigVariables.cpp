// Registers the configuration variables of the table and binds each to the plugin's shared value.
#include "ConfigVariables.h"

#include "QuillonPlugin.h"
#include "VariableTable.h"

namespace {

using quillon::cvar::kVariables;
using quillon::cvar::Range;
using quillon::cvar::Variable;

void MakeValue(QuillonPlugin& plugin, const Variable& variable) {
  std::visit(
      [&](const auto& bound) {
        using Value = std::remove_cvref_t<decltype(bound.initial)>;
        plugin.*bound.member = std::make_shared<Value>(bound.initial);
      },
      variable.bound);
}

// Makes the variable, binds a copy of its value to it and lets the handle go.
void RegisterAndBind(QuillonPlugin& plugin, CVarManagerWrapper& cvars, const Variable& variable) {
  const bool bounded = variable.range.has_value();
  const Range range = variable.range.value_or(Range{0.0f, 0.0f});
  CVarWrapper handle =
      cvars.registerCvar(variable.name, variable.defaultValue, variable.description, true, bounded,
                         range.min, bounded, range.max, true);
  std::visit([&](const auto& bound) { handle.bindTo(plugin.*bound.member); }, variable.bound);
}

}  // namespace

void QuillonPlugin::RegisterVariables() {
  CVarManagerWrapper& cvars = *cvarManager;
  std::size_t made = 0;
  for (std::size_t i = 0; i < std::size(kVariables); ++i) {
    // Each value is made right before its variable is registered, or before the one it is made
    // with.
    if (made == i) {
      MakeValue(*this, kVariables[made++]);
      if (kVariables[i].madeWithNext) MakeValue(*this, kVariables[made++]);
    }
    RegisterAndBind(*this, cvars, kVariables[i]);
  }
}
