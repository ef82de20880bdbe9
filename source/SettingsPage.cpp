#include "QuillonPlugin.h"

void QuillonPlugin::DrawSettingsPage() {}

std::string QuillonPlugin::GetSettingsTitle() {
  return "Quillon Plugin 1.1";
}

void QuillonPlugin::AttachGuiContext(std::uintptr_t /*context*/) {}
