// The settings page's widgets. Each shows a variable's current value as the registry reports it
// and hands a change to the host as a deferred write: the page itself never stores anything.
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

// Dear ImGui's colour components run from 0 to 1, the variables' from 0 to 255.
constexpr float kColorScale = 255.0f;
// Only the swatch, which opens the picker: the label is the text line above it.
constexpr ImGuiColorEditFlags kSwatchOnly =
    ImGuiColorEditFlags_NoInputs | ImGuiColorEditFlags_NoLabel;
static_assert(kSwatchOnly == 160);

// The deferred write: stores the value on the game thread, on every frame of a drag, so the
// overlay follows the mouse.
template <typename Value>
void StoreLater(GameWrapper& game, CVarWrapper cvar, Value value) {
  game.Execute([cvar, value](GameWrapper*) mutable { cvar.setValue(value); });
}

// Each edit, once complete, has the host save its configuration after the edit's writes, so a
// game that crashes a moment later still keeps the player's choice: a click saves with its write,
// a slider or the colour picker when the mouse lets go of it, not on each frame of the drag.
void StoreAndSaveLater(GameWrapper& game, const std::shared_ptr<CVarManagerWrapper>& console,
                       CVarWrapper cvar, int value) {
  game.Execute([cvar, value, console](GameWrapper*) mutable {
    cvar.setValue(value);
    console->executeCommand("writeconfig");
  });
}

void SaveLater(GameWrapper& game, const std::shared_ptr<CVarManagerWrapper>& console) {
  game.Execute([console](GameWrapper*) { console->executeCommand("writeconfig"); });
}

}  // namespace

void QuillonPlugin::CheckboxSetting(const char* variable, const char* label) {
  CVarWrapper cvar = cvarManager->getCvar(variable);
  if (!cvar) return;
  bool value = cvar.getBoolValue();
  if (ImGui::Checkbox(label, &value)) {
    StoreAndSaveLater(*gameWrapper, cvarManager, cvar, value ? 1 : 0);
  }
}

void QuillonPlugin::IntSliderSetting(const char* variable, const char* label, int minimum,
                                     int maximum) {
  CVarWrapper cvar = cvarManager->getCvar(variable);
  if (!cvar) return;
  int value = cvar.getIntValue();
  if (ImGui::SliderInt(label, &value, minimum, maximum, "%d")) {
    StoreLater(*gameWrapper, cvar, value);
  }
  if (ImGui::IsItemDeactivatedAfterEdit()) SaveLater(*gameWrapper, cvarManager);
}

void QuillonPlugin::FloatSliderSetting(const char* variable, const char* label, float minimum,
                                       float maximum, const char* format) {
  CVarWrapper cvar = cvarManager->getCvar(variable);
  if (!cvar) return;
  float value = cvar.getFloatValue();
  if (ImGui::SliderFloat(label, &value, minimum, maximum, format)) {
    StoreLater(*gameWrapper, cvar, value);
  }
  if (ImGui::IsItemDeactivatedAfterEdit()) SaveLater(*gameWrapper, cvarManager);
}

void QuillonPlugin::ColorSetting(const char* variable, const char* label) {
  CVarWrapper cvar = cvarManager->getCvar(variable);
  if (!cvar) return;
  const LinearColor stored = cvar.getColorValue();
  float rgba[4] = {stored.R / kColorScale, stored.G / kColorScale, stored.B / kColorScale,
                   stored.A / kColorScale};
  ImGui::TextUnformatted(label);
  if (ImGui::ColorEdit4(label, rgba, kSwatchOnly)) {
    const LinearColor value{rgba[0] * kColorScale, rgba[1] * kColorScale, rgba[2] * kColorScale,
                            rgba[3] * kColorScale};
    StoreLater(*gameWrapper, cvar, value);
  }
  if (ImGui::IsItemDeactivatedAfterEdit()) SaveLater(*gameWrapper, cvarManager);
}
