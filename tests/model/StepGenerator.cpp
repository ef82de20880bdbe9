#include "StepGenerator.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>

namespace model {
namespace {

using pluginsdk::GameMode;

constexpr std::int64_t kTicksPerMs = 10'000;
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerHour = 3600 * kTicksPerSecond;
constexpr std::int64_t kTicksToPracticeCheck = 3 * kTicksPerSecond;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Typed {
  const char* text;
  double value;
};

// Typed values per variable, with the console's bounds crossed on both sides.
constexpr std::array<Typed, 6> kSwitchTexts{{
    {"1", 1.0},
    {"0", 0.0},
    {"0.5", 0.5},
    {"7", 7.0},
    {"-1", -1.0},
    {"inf", kInf},
}};
constexpr std::array<Typed, 13> kTextSizeTexts{{
    {"2", 2.0},
    {"1.5", 1.5},
    {"1", 1.0},
    {"3.3", 3.3},
    {"0", 0.0},
    {"0.05", 0.05},
    {"0.06666666", 0.06666666},  // the line step just below 1 pixel
    {"0.06666667", 0.06666667},  // ... and just at it
    {"0.0667", 0.0667},
    {"10", 10.0},
    {"12", 12.0},
    {"-3", -3.0},
    {"inf", kInf},
}};
constexpr std::array<Typed, 10> kPositionTexts{{
    {"0", 0.0},
    {"7", 7.0},
    {"100", 100.0},
    {"33.9", 33.9},
    {"9999.5", 9999.5},
    {"10000", 10000.0},
    {"20000", 20000.0},
    {"-1", -1.0},
    {"1e9", 1e9},
    {"-inf", -kInf},
}};

template <std::size_t N>
SetVariable Typing(Setting setting, const std::array<Typed, N>& texts, std::size_t index) {
  return {setting, texts[index].text, texts[index].value};
}

}  // namespace

std::uint64_t StepGenerator::Bits() {
  // SplitMix64: small, fast and the same everywhere.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t StepGenerator::Below(std::uint64_t bound) {
  return Bits() % bound;
}

std::size_t StepGenerator::Pick(std::initializer_list<unsigned> weights) {
  unsigned total = 0;
  for (const unsigned weight : weights) total += weight;
  auto roll = static_cast<unsigned>(Below(total));
  std::size_t index = 0;
  for (const unsigned weight : weights) {
    if (roll < weight) return index;
    roll -= weight;
    ++index;
  }
  return index - 1;
}

Step StepGenerator::Next() {
  if (queued_.empty()) {
    switch (Pick({220, 480, 110, 50, 15, 25, 40, 3})) {
      case 0:
        Queue(NextAdvance());
        break;
      case 1:
        Queue(NextFire());
        break;
      case 2:
        Queue(NextCar());
        break;
      case 3:
        Queue(NextBall());
        break;
      case 4:
        Queue(SetGameState{Pick({6, 1}) == 0});
        break;
      case 5:
        Queue(NextMode());
        break;
      case 6:
        Queue(NextSetting());
        break;
      default:
        QueueQuickRestarts();
        break;
    }
  }
  Step step = queued_.front();
  queued_.pop_front();
  return step;
}

void StepGenerator::Queue(const Step& step) {
  if (const auto* advance = std::get_if<Advance>(&step)) now_ += advance->ticks;
  const auto* fire = std::get_if<Fire>(&step);
  if (fire != nullptr && fire->function == GameFunction::kInit) lastInit_ = now_;
  queued_.push_back(step);
}

void StepGenerator::QueueQuickRestarts() {
  const auto events = 3 + static_cast<std::size_t>(Below(2));
  std::vector<std::int64_t> gaps;
  std::int64_t sinceFirst = 0;
  for (std::size_t i = 0; i < events; ++i) {
    if (i > 0) Queue(Fire{GameFunction::kDestroyed});
    Queue(Fire{GameFunction::kInit});
    // At most 0.7 s apart, so all have begun before the first check comes.
    gaps.push_back(kTicksPerSecond / 10 +
                   static_cast<std::int64_t>(Below(6 * kTicksPerSecond / 10)));
    Queue(Advance{gaps.back()});
    sinceFirst += gaps.back();
  }
  // Onto the first check, then from check to check with a reset, a pause or its end, and a new
  // mode between them.
  Queue(Advance{kTicksToPracticeCheck - sinceFirst});
  for (std::size_t i = 1; i < events; ++i) {
    Queue(PlaceCar{500.0f});
    Queue(Fire{GameFunction::kLanded});
    Queue(Fire{GameFunction::kDodge});
    Queue(Fire{Pick({1, 1}) == 0 ? GameFunction::kPause : GameFunction::kUnpause});
    Queue(NextMode());
    Queue(Advance{gaps[i - 1]});
  }
}

Advance StepGenerator::NextAdvance() {
  std::int64_t ticks = 0;
  switch (Pick({10, 20, 15, 15, 30, 8, 2})) {
    case 0:
      break;
    case 1:  // under a millisecond
      ticks = 1 + static_cast<std::int64_t>(Below(kTicksPerMs - 1));
      break;
    case 2:  // a millisecond give or take a microsecond
      ticks = kTicksPerMs - 10 + static_cast<std::int64_t>(Below(21));
      break;
    case 3:  // milliseconds, any tick
      ticks = kTicksPerMs + static_cast<std::int64_t>(Below(19 * kTicksPerMs));
      break;
    case 4:  // seconds
      ticks = kTicksPerSecond / 20 + static_cast<std::int64_t>(Below(8 * kTicksPerSecond));
      break;
    case 5: {  // onto the latest practice check's due time, or one tick either side
      const std::int64_t target =
          lastInit_ + kTicksToPracticeCheck - 1 + static_cast<std::int64_t>(Below(3));
      ticks = lastInit_ >= 0 && target > now_ ? target - now_ : kTicksPerSecond;
      break;
    }
    default:  // hours
      ticks = kTicksPerHour + static_cast<std::int64_t>(Below(5 * kTicksPerHour));
      break;
  }
  return {ticks};
}

Fire StepGenerator::NextFire() {
  return {static_cast<GameFunction>(Pick({25, 6, 60, 150, 90, 25, 10, 6, 30, 30}))};
}

SwitchMode StepGenerator::NextMode() {
  static constexpr std::array<GameMode, 4> kModes{GameMode::Freeplay, GameMode::Training,
                                                  GameMode::Menu, GameMode::Match};
  return {kModes[Pick({40, 25, 15, 20})]};
}

PlaceBall StepGenerator::NextBall() {
  switch (Pick({10, 10, 45, 5, 5, 10, 5, 10})) {
    case 0:
      return {93.15f};  // at rest: 0 %
    case 1:
      return {1954.85f};  // at the ceiling: 100 %
    case 2:
      return {static_cast<float>(Below(2'100'000)) / 1000.0f};
    case 3:
      return {50.0f};
    case 4:
      return {-200.0f};
    case 5: {
      static constexpr std::array<float, 3> kHuge{FLT_MAX, -FLT_MAX, 1e20f};
      return {kHuge[Below(kHuge.size())]};
    }
    case 6:
      return {Pick({1, 1}) == 0 ? std::numeric_limits<float>::denorm_min() : 0.0f};
    default:
      return {std::nullopt};
  }
}

PlaceCar StepGenerator::NextCar() {
  switch (Pick({12, 10, 6, 8, 50, 4, 4, 6})) {
    case 0:
      return {25.0f};
    case 1:
      return {std::nextafter(25.0f, FLT_MAX)};
    case 2:
      return {std::nextafter(25.0f, 0.0f)};
    case 3:
      return {17.0f};  // on its wheels
    case 4:
      return {25.5f + static_cast<float>(Below(1'974'500)) / 1000.0f};
    case 5: {
      static constexpr std::array<float, 3> kLow{-0.0f, 0.0f, -5.0f};
      return {kLow[Below(kLow.size())]};
    }
    case 6: {
      static constexpr std::array<float, 3> kExtreme{1e30f, FLT_MAX,
                                                     std::numeric_limits<float>::denorm_min()};
      return {kExtreme[Below(kExtreme.size())]};
    }
    default:
      return {std::nullopt};
  }
}

SetVariable StepGenerator::NextSetting() {
  switch (Pick({35, 25, 15, 10, 15})) {
    case 0:
      return Typing(Setting::kEnabled, kSwitchTexts, Pick({60, 15, 5, 10, 5, 5}));
    case 1:
      return Typing(Setting::kHeightDecimal, kSwitchTexts, Pick({40, 40, 5, 5, 5, 5}));
    case 2:
      return Typing(Setting::kTextSize, kTextSizeTexts,
                    Pick({40, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    case 3:
      return Typing(Setting::kPositionX, kPositionTexts, Below(kPositionTexts.size()));
    default:
      return Typing(Setting::kPositionY, kPositionTexts, Below(kPositionTexts.size()));
  }
}

std::vector<Step> GenerateSession(std::uint64_t seed, std::size_t steps) {
  StepGenerator generator(seed);
  std::vector<Step> session;
  session.reserve(steps);
  for (std::size_t i = 0; i < steps; ++i) session.push_back(generator.Next());
  return session;
}

}  // namespace model
