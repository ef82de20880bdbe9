#pragma once
// Delta debugging over a failing step list.
#include <functional>
#include <vector>

#include "SessionSteps.h"

namespace model {

using FailureCheck = std::function<bool(const std::vector<Step>&)>;

// Removes steps while `fails` still holds, first in large chunks and then one at a time, until
// no single step can go: every step left is needed for the failure. `fails(steps)` must hold.
std::vector<Step> Shrink(std::vector<Step> steps, const FailureCheck& fails);

// The same session with each run of clock advances as one advance: nothing happens between them.
std::vector<Step> MergeAdvances(const std::vector<Step>& steps);

}  // namespace model
