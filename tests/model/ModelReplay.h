#pragma once
// Replays session steps on the loaded plugin and on the reference model side by side, comparing
// the frame a player would see after every step.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "SessionSteps.h"
#include "TrackerModel.h"

namespace model {

struct Mismatch {
  std::size_t step;      // index of the step after which the frames first differ
  std::string expected;  // the model's frame text
  std::string drawn;     // the plugin's
};

// Replays `steps` on a freshly loaded plugin and a fresh model. Adds what the model reached to
// `seen` when given.
std::optional<Mismatch> FindMismatch(const std::vector<Step>& steps, Variant variant,
                                     Coverage* seen = nullptr);

// The plugin's frame text after each step, on a freshly loaded plugin.
std::vector<std::string> PluginFrames(const std::vector<Step>& steps);

}  // namespace model
