// compare-replays: exits 0 when two replays of one session printed the same, allowing measured
// times ("Time: " numbers) to differ by up to 0.05 s; otherwise names the first difference.
#include <fstream>
#include <iostream>

#include "ReplayComparison.h"

namespace {

constexpr double kTimeToleranceSeconds = 0.05;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: compare-replays EXPECTED ACTUAL\n";
    return 2;
  }
  std::ifstream expected(argv[1]);
  std::ifstream actual(argv[2]);
  if (!expected || !actual) {
    std::cerr << "compare-replays: cannot read " << (expected ? argv[2] : argv[1]) << '\n';
    return 2;
  }
  if (const auto difference = replay::CompareReplays(expected, actual, kTimeToleranceSeconds)) {
    std::cerr << argv[2] << " differs from " << argv[1] << ": " << *difference << '\n';
    return 1;
  }
  return 0;
}
