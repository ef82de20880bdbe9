#include "QuillonPlugin.h"

void QuillonPlugin::DrawOverlay(CanvasWrapper /*canvas*/) {}
