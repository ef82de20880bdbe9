#pragma once
// Seeded random steps of a practice session: game functions, clock advances of every size, mode
// changes, missing game objects, heights around the 25-unit line and variable changes. The same
// seed gives the same steps on every machine.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "SessionSteps.h"

namespace model {

class StepGenerator {
 public:
  explicit StepGenerator(std::uint64_t seed) : state_(seed) {}

  Step Next();

 private:
  std::uint64_t Bits();
  std::uint64_t Below(std::uint64_t bound);
  // The index of the weight chosen, each with a chance in proportion to its weight.
  std::size_t Pick(std::initializer_list<unsigned> weights);

  Advance NextAdvance();
  Fire NextFire();
  SwitchMode NextMode();
  PlaceBall NextBall();
  PlaceCar NextCar();
  SetVariable NextSetting();

  std::uint64_t state_;
  std::int64_t now_ = 0;
  std::int64_t lastInit_ = -1;  // time of the latest init step, for advances onto its check
};

std::vector<Step> GenerateSession(std::uint64_t seed, std::size_t steps);

}  // namespace model
