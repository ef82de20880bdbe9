// model_soak [STEPS] [FIRST_SEED]: replays STEPS random steps (default 10,000,000) on the plugin
// and the reference model, in sessions of 20,000 steps with the seeds FIRST_SEED (default
// 1,000,001), FIRST_SEED + 1, ... On the first difference it prints the seed and the shrunk steps,
// writes them as a session script under out/model-failures and exits with 1.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "ModelCheck.h"

namespace {

constexpr std::size_t kStepsPerSession = 20'000;

std::uint64_t Argument(int argc, char** argv, int index, std::uint64_t fallback) {
  if (argc <= index) return fallback;
  char* end = nullptr;
  const auto value = std::strtoull(argv[index], &end, 10);
  if (end == argv[index] || *end != '\0' || value == 0) {
    std::cerr << "model_soak: '" << argv[index] << "' is not a positive whole number\n";
    std::exit(2);
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 3) {
    std::cerr << "usage: model_soak [STEPS] [FIRST_SEED]\n";
    return 2;
  }
  const std::uint64_t totalSteps = Argument(argc, argv, 1, 10'000'000);
  const std::uint64_t firstSeed = Argument(argc, argv, 2, 1'000'001);

  const auto started = std::chrono::steady_clock::now();
  model::Coverage seen;
  std::uint64_t done = 0;
  for (std::uint64_t seed = firstSeed; done < totalSteps; ++seed) {
    const std::size_t steps = std::min<std::uint64_t>(kStepsPerSession, totalSteps - done);
    if (const auto failure =
            model::CheckSeed(seed, steps, model::Variant::kFaithful, "out/model-failures", &seen)) {
      std::cout << "FAILED after " << done + failure->failingStep << " steps\n"
                << model::Describe(*failure);
      return 1;
    }
    done += steps;
    if (done % 1'000'000 == 0) std::cout << done << " steps, seeds up to " << seed << std::endl;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  std::cout << "OK: " << done << " steps in " << (done + kStepsPerSession - 1) / kStepsPerSession
            << " sessions (seeds " << firstSeed << " on) in " << took.count() << " s\n"
            << seen << '\n';
  return 0;
}
