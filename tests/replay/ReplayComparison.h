#pragma once
#include <istream>
#include <optional>
#include <string>

namespace replay {

// Compares what two replays of one session printed, line by line. Every text must be equal,
// except a number right after "Time: " in a frame line, which may differ by up to
// `timeTolerance` seconds: a real-time replay measures real intervals; and the time a step's
// line begins with, which may be later by up to `timeTolerance`: a real-time step runs late. Lines
// may end in CR LF (a Windows program's output). Returns a description of the first difference, or
// nothing.
std::optional<std::string> CompareReplays(std::istream& expected, std::istream& actual,
                                          double timeTolerance);

}  // namespace replay
