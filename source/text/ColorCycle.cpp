#include "ColorCycle.h"

#include <cmath>
#include <limits>

#include "FloatToInt.h"

namespace quillon {
namespace {

constexpr float kSpeedFactor = 0.005f;
constexpr float kAmplitude = 128.0f;
constexpr float kOffset = 127.0f;
constexpr float kGreenShift = 2.0f;
constexpr float kBlueShift = 4.0f;
// Phase at which the cycle starts again; close to, but not exactly, two pi.
constexpr double kCycleLength = 6.28;

// A sine wave from -1 to 255. The product and the sum are separate single-precision operations,
// as written (the build does not fuse them).
char Channel(float phase) {
  const float wave = std::sin(phase);
  const float scaled = wave * kAmplitude;
  const float level = scaled + kOffset;
  // A level of 255 or -1 is the byte with all bits set; NaN (an infinite speed, or one that is
  // not a number) gives 0.
  return static_cast<char>(TruncateToInt32(level));
}

// 6.28 / step in double precision. A zero step (speed 0) never wraps: its limit is the infinity
// that IEEE division would give, written out because C++ leaves division by zero undefined.
double CycleLimit(float step) {
  if (step == 0.0f) return std::copysign(std::numeric_limits<double>::infinity(), step);
  return kCycleLength / static_cast<double>(step);
}

}  // namespace

float CycleStep(float speed) {
  return speed * kSpeedFactor;
}

CycleColor CycleColorAt(std::int32_t phase, float step) {
  const float angle = static_cast<float>(phase) * step;
  return {Channel(angle), Channel(angle + kGreenShift), Channel(angle + kBlueShift)};
}

std::int32_t NextCyclePhase(std::int32_t phase, float step) {
  return PhaseAfter(phase, CycleLimit(step));
}

CycleColor CycleColorMemo::Compute(std::int32_t phase, float step) {
  // Compared bit for bit, so that a step that is not a number is remembered too.
  const auto stepBits = std::bit_cast<std::uint32_t>(step);
  if (stepBits != stepBits_) {
    known_.reset();
    stepBits_ = stepBits;
    limit_ = CycleLimit(step);
  }
  const CycleColor color = CycleColorAt(phase, step);
  const auto index = static_cast<std::uint32_t>(phase);
  if (index < kPhases) {
    colors_[index] = color;
    known_.set(index);
  }
  return color;
}

}  // namespace quillon
