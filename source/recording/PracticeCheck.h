#pragma once

namespace quillon::recording {

// The practice check runs this long after a game event begins: in play, where the tracker sets
// its timeout, and in the replay of a recording, where the writer puts the check's steps.
inline constexpr int kPracticeCheckSeconds = 3;

}  // namespace quillon::recording
