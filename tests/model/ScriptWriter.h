#pragma once
// Writes replayed steps as a session script for the host program.
#include <string>
#include <vector>

#include "SessionSteps.h"

namespace model {

// The steps as a script that draws a frame after every step, as the model test does, so the host
// program prints one frame line per step. `comment` opens the script, each of its lines behind
// "# ".
std::string SessionScript(const std::vector<Step>& steps, const std::string& comment);

}  // namespace model
