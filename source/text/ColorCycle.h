#pragma once
#include <array>
#include <bit>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace quillon {

// The colour cycling of the overlay: red, green and blue follow one sine wave each, shifted by 2
// and 4 radians, as a phase counter advances one step per cycled frame.

// Red, green and blue as the canvas takes them: signed bytes, whose bits 255 and -1 share.
struct CycleColor {
  char red;
  char green;
  char blue;
};

// Phase advance per frame at a speed setting (1 is the default speed).
float CycleStep(float speed);
// The colour at a phase counter, every operation in single precision.
CycleColor CycleColorAt(std::int32_t phase, float step);
// The counter after a cycled frame: one further, or back to 0 once a whole cycle has passed.
std::int32_t NextCyclePhase(std::int32_t phase, float step);
// The same, given the step's limit: 6.28 / step in double precision.
inline std::int32_t PhaseAfter(std::int32_t phase, double limit) {
  // Past the counter's largest value (reached only at a speed so small that the cycle never
  // wraps, or 0, or not a number) the cycle starts again rather than overflow; at speed 0 every
  // phase has the same colour.
  const std::int32_t next = phase == std::numeric_limits<std::int32_t>::max() ? 0 : phase + 1;
  // NaN compares false: an unreadable speed keeps counting.
  return static_cast<double>(next) >= limit ? 0 : next;
}

// The colours of a cycle, each kept as it is first drawn: the cycle repeats every few seconds and
// a colour costs three sines. Exactly the colours CycleColorAt gives; a new step forgets them.
class CycleColorMemo {
 public:
  // Inline, so a kept colour costs a few loads in the frame.
  CycleColor At(std::int32_t phase, float step) {
    const auto index = static_cast<std::uint32_t>(phase);  // a negative phase is beyond kPhases
    if (std::bit_cast<std::uint32_t>(step) == stepBits_ && index < kPhases && known_[index]) {
      return colors_[index];
    }
    return Compute(phase, step);
  }
  // NextCyclePhase, with the cycle's length divided out once per step rather than every frame.
  std::int32_t Next(std::int32_t phase, float step) {
    if (std::bit_cast<std::uint32_t>(step) != stepBits_) return NextCyclePhase(phase, step);
    return PhaseAfter(phase, limit_);
  }

 private:
  CycleColor Compute(std::int32_t phase, float step);

  // A whole cycle at speeds from about 0.31 up (1257 phases at the default speed); later phases
  // of slower cycles are computed each time.
  static constexpr std::size_t kPhases = 4096;
  std::uint32_t stepBits_ = 0;
  double limit_ = std::numeric_limits<double>::infinity();  // of the step 0, as stepBits_ says
  std::bitset<kPhases> known_;
  std::array<CycleColor, kPhases> colors_{};
};

}  // namespace quillon
