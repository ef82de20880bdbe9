#pragma once
// One seed's random session against the model, with a small reproducible report on failure.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ModelReplay.h"
#include "SessionSteps.h"
#include "TrackerModel.h"

namespace model {

struct FailureReport {
  std::uint64_t seed;
  std::size_t failingStep;       // position in the seed's session of the first step that failed
  Mismatch first;                // the difference as first seen there
  std::vector<Step> shrunk;      // the fewest steps found that still fail
  Mismatch last;                 // the difference after the last of them
  std::filesystem::path script;  // the shrunk steps as a session script
};

// Generates the seed's session of `stepCount` steps and replays it on the plugin and the model.
// On a difference it shrinks the steps up to the failing one and writes them as a session script
// into `folder`. Adds what the model reached to `seen` when given.
std::optional<FailureReport> CheckSeed(std::uint64_t seed, std::size_t stepCount, Variant variant,
                                       const std::filesystem::path& folder,
                                       Coverage* seen = nullptr);

// The report for a person: seed, the difference, the shrunk steps and where the script is.
std::string Describe(const FailureReport& report);

}  // namespace model
