// The overlay's number texts: written into a fixed buffer, they must read exactly as a stream with
// fixed notation in the classic locale writes them.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "NumberFormat.h"
#include "Tally.h"

namespace {

using quillon::NumberText;

std::string StreamFixed(float value, int decimals) {
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  stream << std::fixed << std::setprecision(decimals) << value;
  return stream.str();
}

std::string StreamUnsigned(std::uint32_t value) {
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  stream << value;
  return stream.str();
}

// Counts mismatches and keeps the first few, so one failure does not print thousands of lines.
class Comparison {
 public:
  void Check(float value, int decimals) {
    const std::string expected = StreamFixed(value, decimals);
    const std::string actual(NumberText::Fixed(value, decimals).View());
    ++compared_;
    if (actual == expected) return;
    if (++mismatches_ <= 10) {
      ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<std::uint32_t>(value) << std::dec
                    << " with " << decimals << " decimals: stream \"" << expected << "\", ours \""
                    << actual << "\"";
    }
  }
  void CheckBothPrecisions(float value) {
    Check(value, 0);
    Check(value, 2);
  }
  int Mismatches() const { return mismatches_; }
  int Compared() const { return compared_; }

 private:
  int compared_ = 0;
  int mismatches_ = 0;
};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(FixedText, ReadsAsTheOverlayShowsHeightsAndTimes) {
  struct Case {
    float value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {57.6f, 0, "58"},
      {57.6f, 2, "57.60"},
      {-0.3f, 0, "-0"},
      {-0.3f, 2, "-0.30"},
      {12.345678f, 2, "12.35"},
      {0.0f, 0, "0"},
      {0.0f, 2, "0.00"},
      {-0.0f, 0, "-0"},
      {1.254f, 2, "1.25"},
      {0.125f, 2, "0.12"},
      {0.375f, 2, "0.38"},
      {2.5f, 0, "2"},
      {3.5f, 0, "4"},
      {1e7f, 2, "10000000.00"},
      {kInf, 2, "inf"},
      {-kInf, 0, "-inf"},
      {kNaN, 2, "nan"},
      {-kNaN, 0, "-nan"},
      {FLT_MAX, 2, "340282346638528859811704183484516925440.00"},
      {-FLT_MAX, 0, "-340282346638528859811704183484516925440"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberText::Fixed(c.value, c.decimals).View(), c.text)
        << c.value << " with " << c.decimals << " decimals";
  }
}

TEST(FixedText, MatchesTheStreamOnSpecialValues) {
  Comparison comparison;
  const float specials[] = {
      0.0f,     -0.0f,   kInf,          -kInf,        kNaN,          -kNaN,         FLT_MAX,
      -FLT_MAX, FLT_MIN, -FLT_MIN,      FLT_TRUE_MIN, -FLT_TRUE_MIN, FLT_MIN / 3,   FLT_EPSILON,
      0.005f,   0.015f,  0.5f,          1.5f,         -0.5f,         -2.5f,         0.995f,
      9.995f,   99.5f,   4294967296.0f, 16777216.0f,  16777217.0f,   2147483648.0f, 1e38f};
  for (const float value : specials) comparison.CheckBothPrecisions(value);
  EXPECT_EQ(comparison.Mismatches(), 0);
}

// Exact halves and quarters sit on rounding ties at 0 and 2 decimals; so do the values just beside
// them, which must round away from the tie.
TEST(FixedText, MatchesTheStreamOnRoundingTiesAndTheirNeighbours) {
  Comparison comparison;
  for (int i = -4000; i <= 4000; ++i) {
    const float tie = static_cast<float>(i) / 8.0f;
    comparison.CheckBothPrecisions(tie);
    comparison.CheckBothPrecisions(std::nextafter(tie, kInf));
    comparison.CheckBothPrecisions(std::nextafter(tie, -kInf));
    // Decimal halves such as 0.005 or 1.235 are not exact in binary; check they round as widened.
    const float decimalHalf = static_cast<float>(i) / 200.0f;
    comparison.CheckBothPrecisions(decimalHalf);
  }
  EXPECT_EQ(comparison.Mismatches(), 0);
}

TEST(FixedText, MatchesTheStreamOnEveryDenormalExponentAndRandomBitPatterns) {
  Comparison comparison;
  for (int shift = 0; shift < 23; ++shift) {
    comparison.CheckBothPrecisions(std::bit_cast<float>(std::uint32_t{1} << shift));
    comparison.CheckBothPrecisions(std::bit_cast<float>((std::uint32_t{1} << shift) | 0x80000000u));
  }
  std::mt19937 random(20240611);
  for (int i = 0; i < 150000; ++i) {
    comparison.CheckBothPrecisions(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
  }
  // Random bits are mostly tiny or huge; the values a player sees are between about -10 and 1000.
  std::uniform_real_distribution<float> playerRange(-10.0f, 1000.0f);
  for (int i = 0; i < 100000; ++i) comparison.CheckBothPrecisions(playerRange(random));
  EXPECT_EQ(comparison.Mismatches(), 0);
  EXPECT_GE(comparison.Compared(), 500000);
}

TEST(UnsignedText, MatchesTheStreamWithoutSignOrGrouping) {
  std::vector<std::uint32_t> values{0u,       1u,          9u,          10u,        1000u,
                                    1234567u, 2147483647u, 2147483648u, 4294967295u};
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) values.push_back(static_cast<std::uint32_t>(random()));
  testing_support::Tally tally;
  for (const auto value : values) {
    tally.ExpectEq("the stream's text", NumberText::Unsigned(value).View(), StreamUnsigned(value),
                   std::to_string(value));
  }
  tally.Report();
  EXPECT_EQ(NumberText::Unsigned(0).View(), "0");
  EXPECT_EQ(NumberText::Unsigned(1234567).View(), "1234567");
}

}  // namespace
