// The remembered cycle colours: exactly what computing them gives, whatever the speed did between
// frames and whatever phase the counter holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

#include "ColorCycle.h"

namespace {

struct CycledFrame {
  std::int32_t phase;
  float step;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int32_t kMaxPhase = std::numeric_limits<std::int32_t>::max();
constexpr CycledFrame kFrames[] = {
    {0, 0.005f},    {100, 0.005f},  {100, 0.01f},        {100, 0.005f},  // a speed and back
    {0, 0.0f},      {0, -0.0f},     {7, kNaN},           {7, kInf},      // steps without cycle
    {4095, 0.001f}, {4096, 0.001f}, {kMaxPhase, 0.001f}, {-1, 0.005f},   // beyond what it keeps
    {1256, 0.005f}, {1255, 0.005f}, {kMaxPhase, 0.0f},   {3, -0.0f},     // the wrap
};

TEST(CycleColorMemo, GivesTheComputedColourThroughSpeedChangesAndEveryPhase) {
  quillon::CycleColorMemo memo;
  // The second pass draws what the first one remembered.
  for (int pass = 0; pass < 2; ++pass) {
    for (const CycledFrame& frame : kFrames) {
      const quillon::CycleColor computed = quillon::CycleColorAt(frame.phase, frame.step);
      const quillon::CycleColor remembered = memo.At(frame.phase, frame.step);
      EXPECT_EQ(std::tie(remembered.red, remembered.green, remembered.blue),
                std::tie(computed.red, computed.green, computed.blue))
          << "phase " << frame.phase << ", step " << frame.step << ", pass " << pass;
    }
  }
}

// As a frame moves the cycle on: the colour first, then the next phase.
TEST(CycleColorMemo, MovesThePhaseOnAsNextCyclePhaseDoes) {
  quillon::CycleColorMemo memo;
  for (int pass = 0; pass < 2; ++pass) {
    for (const CycledFrame& frame : kFrames) {
      memo.At(frame.phase, frame.step);
      EXPECT_EQ(memo.Next(frame.phase, frame.step),
                quillon::NextCyclePhase(frame.phase, frame.step))
          << "phase " << frame.phase << ", step " << frame.step << ", pass " << pass;
    }
  }
  // A step the memo has not drawn with yet.
  EXPECT_EQ(memo.Next(1256, 0.005f), 0);
  EXPECT_EQ(memo.Next(1256, 0.0025f), 1257);
}

}  // namespace
