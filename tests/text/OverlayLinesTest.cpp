// The overlay's texts kept from frame to frame: after any frame, the texts are exactly those a
// fresh write of the new frame gives, whichever values changed and however little.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "OverlayLines.h"

namespace {

struct Frame {
  std::uint32_t count = 0;
  double interval = 0.0;
  float height = 0.0f;
  bool decimals = false;
};

std::string Texts(const quillon::OverlayLines& lines) {
  std::string texts;
  for (std::size_t line = 0; line < quillon::OverlayLines::kCount; ++line) {
    texts += std::string(quillon::OverlayLines::kLabels[line]) + std::string(lines.Number(line));
    texts += line + 1 < quillon::OverlayLines::kCount ? "|" : "";
  }
  return texts;
}

TEST(OverlayLines, AfterEveryFrameShowTheFreshTextsOfThatFrame) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  // Each frame changes one thing of the one before, or nothing.
  const Frame frames[] = {
      {},                         // the first write
      {},                         // nothing changed
      {7, 0.0, 0.0f, false},      // the count
      {7, 1.254, 0.0f, false},    // the time
      {7, 1.254, 41.73f, false},  // the height
      {7, 1.254, 41.73f, true},   // only the decimals
      {7, 1.254, 41.73f, false},  // and back
      {7, 1.254, -0.0f, false},   // a height that compares equal to the last but one
      {7, 1.254, 0.0f, false},    // ... and to this one
      {7, 0.0, 0.0f, false},      // the same for the time
      {7, -0.0, 0.0f, false},
      {7, 1.2540000001, 0.0f, false},  // a time the float cannot tell apart from 1.254
      {7, 1.254, kNaN, true},          // the height no number
      {7, 1.254, -kNaN, true},         // another NaN
      {7, 1e300, kInf, true},          // beyond the float
      {4294967295u, 12.345678, 57.6f, true},
  };
  quillon::OverlayLines kept;
  for (const Frame& frame : frames) {
    kept.Write(frame);
    quillon::OverlayLines fresh;
    fresh.Write(frame);
    EXPECT_EQ(Texts(kept), Texts(fresh));
  }
  EXPECT_EQ(Texts(kept), "Resets: 4294967295|Height: 57.60|Time: 12.35");
}

}  // namespace
