#include <atomic>

#include "ConfigVariables.h"
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

constexpr const char* kDescription =
    "This plugin is made for counting chained and unchained resets in freeplay/custom training";

}  // namespace

void QuillonPlugin::DrawSettingsPage() {
  namespace cvar = quillon::cvar;
  ImGui::TextUnformatted(kDescription);
  CheckboxSetting(cvar::kEnabled, "Enable Quillon Plugin");
  IntSliderSetting(cvar::kPositionX, "Quillon Position X");
  IntSliderSetting(cvar::kPositionY, "Quillon Position Y");
  FloatSliderSetting(cvar::kTextSize, "Text Size", 0.0f, 10.0f);
  CheckboxSetting(cvar::kDropShadows, "Enable Drop Shadows");
  CheckboxSetting(cvar::kHeightDecimal, "Enable Height Decimal");
  CheckboxSetting(cvar::kSameColorEnabled, "Use Same Color For All Text");
  // The bound value, not the check box above: a tick made in this very call is only a deferred
  // write yet, so the other set of editors appears once the host has stored it.
  if (std::atomic_ref<bool>(*sameColorEnabled).load()) {
    ColorSetting(cvar::kTextColor, "Text Color");
  } else {
    ColorSetting(cvar::kResetLabelColor, "Reset Label Color");
    ColorSetting(cvar::kResetNumberColor, "Reset Number Color");
    ColorSetting(cvar::kHeightLabelColor, "Height Label Color");
    ColorSetting(cvar::kHeightNumberColor, "Height Number Color");
    ColorSetting(cvar::kTimeLabelColor, "Timer Label Color");
    ColorSetting(cvar::kTimeNumberColor, "Timer Number Color");
  }
  CheckboxSetting(cvar::kRgbEnabled, "Enable Gamer Mode");
  FloatSliderSetting(cvar::kRgbSpeed, "RGB Cycle Speed", 0.0f, 2.0f);
  CheckboxSetting(cvar::kKeepOnScreen, "Keep Overlay On Screen");
  CheckboxSetting(cvar::kAnnounceBest, "Announce A New Best Chain");
  CheckboxSetting(cvar::kRecordSessions, "Record Practice Sessions");
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
