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

// Joins clock advances while `fails` still holds: each advance in turn is taken out and its time
// added to the advance after it (the steps between come sooner) or, failing that, to the one
// before it (they come later).
std::vector<Step> JoinAdvances(std::vector<Step> steps, const FailureCheck& fails);

}  // namespace model
