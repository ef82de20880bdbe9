#pragma once
// Seeded random steps of a practice session: game functions, clock advances of every size, mode
// changes, missing game objects, heights around the 25-unit line, variable changes and game
// events restarted in quick succession. The same
// seed gives the same steps on every machine.
#include <cstdint>
#include <deque>
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
  // Hands the step out after those already queued, keeping track of the time and the latest
  // init.
  void Queue(const Step& step);
  // Three or four game events begun within a few tenths of a second of each other, so their
  // practice checks come one after another; between the checks play goes on and the mode
  // changes.
  void QueueQuickRestarts();

  std::uint64_t state_;
  std::int64_t now_ = 0;
  std::int64_t lastInit_ = -1;  // time of the latest init step, for advances onto its check
  std::deque<Step> queued_;     // steps decided ahead, handed out before any new one
};

std::vector<Step> GenerateSession(std::uint64_t seed, std::size_t steps);

}  // namespace model
