#pragma once
// The core's headers name the SDK's value types (LinearColor, Vector, Vector2F, Vector2) through
// this file. In the handles over the host's own SDK it is the SDK's own header, so the core's
// declarations there read the SDK's types; scripts/check-host-sdk-layouts.sh proves both sets
// lay them out alike.
#include "bakkesmod/wrappers/wrapperstructs.h"
