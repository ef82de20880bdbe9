#include <atomic>
#include <optional>
#include <type_traits>
#include <variant>

#include "QuillonPlugin.h"
#include "SliderFormat.h"
#include "VariableTable.h"
#include "imgui.h"

namespace {

constexpr const char* kDescription =
    "This plugin is made for counting chained and unchained resets in freeplay/custom training";

}  // namespace

void QuillonPlugin::DrawSettingsPage() {
  using quillon::cvar::Bound;
  using quillon::cvar::Shown;
  ImGui::TextUnformatted(kDescription);
  // Read once, where the first colour's control comes: the bound value, not the check box
  // above, since a tick made in this very call is only a deferred write yet, so the other set of
  // editors appears once the host has stored it.
  std::optional<bool> sameColor;
  for (const quillon::cvar::Variable& variable : quillon::cvar::kVariables) {
    if (variable.shown != Shown::kAlways) {
      if (!sameColor) sameColor = std::atomic_ref<bool>(*sameColorEnabled).load();
      if (*sameColor != (variable.shown == Shown::kWithSameColor)) continue;
    }
    std::visit(
        [&]<typename Value>(const Bound<Value>&) {
          if constexpr (std::is_same_v<Value, bool>) {
            CheckboxSetting(variable.name, variable.label);
          } else if constexpr (std::is_same_v<Value, int>) {
            IntSliderSetting(variable.name, variable.label,
                             static_cast<int>(variable.range.value().min),
                             static_cast<int>(variable.range.value().max));
          } else if constexpr (std::is_same_v<Value, float>) {
            FloatSliderSetting(variable.name, variable.label, variable.range.value().min,
                               variable.range.value().max,
                               quillon::cvar::FloatSliderFormat(variable));
          } else {
            ColorSetting(variable.name, variable.label);
          }
        },
        variable.bound);
  }
  DrawRecordingLine();
  DrawStatistics();
}

std::string QuillonPlugin::GetSettingsTitle() {
  return "Quillon Plugin 1.1";
}

void QuillonPlugin::AttachGuiContext(std::uintptr_t context) {
  // The module has its own copy of Dear ImGui; point it at the host's context.
  ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(context));
}
