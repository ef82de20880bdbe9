#pragma once

namespace quillon {

// A landing counts as a reset only with the car higher than this (game units). The stand-in
// host's hint for a replay that counted no reset reads it too, so the two cannot disagree.
inline constexpr float kResetCarHeight = 25.0f;

}  // namespace quillon
