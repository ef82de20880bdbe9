// Random practice sessions replayed on the plugin and on a reference model of what a player must
// see: after every step both frames must read the same. A failure is shrunk to the fewest steps
// and written as a session script for the host program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "ModelCheck.h"
#include "ModelReplay.h"
#include "Shrink.h"

namespace {

using model::Advance;
using model::Fire;
using model::GameFunction;
using model::Setting;
using model::SetVariable;
using model::Step;
using model::Variant;
using pluginsdk::GameMode;

// 10 seeds of 20,000 steps: 200,000 steps in every build, the sanitizer build included.
constexpr std::size_t kStepsPerSeed = 20'000;
constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kMillisecond = 10'000;

std::filesystem::path FailureFolder() {
  return std::filesystem::temp_directory_path() / "quillon-model-failures";
}

// --- The plugin against the model ----------------------------------------------------------------

class RandomSession : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RandomSession, DrawsWhatTheModelExpectsAfterEveryStep) {
  model::Coverage seen;
  const auto failure =
      model::CheckSeed(GetParam(), kStepsPerSeed, Variant::kFaithful, FailureFolder(), &seen);
  if (failure) FAIL() << model::Describe(*failure);

  // The steps must reach the states where faults hide, or agreeing proves little. Each seed gets
  // well past these (about a third of the lowest seed's figures).
  EXPECT_GT(seen.framesDrawn, 2'300) << seen;
  EXPECT_GT(seen.practiceChecksPassed, 50) << seen;
  EXPECT_GT(seen.practiceEndedWhileTiming, 1) << seen;
  EXPECT_GT(seen.resetsCounted, 80) << seen;
  EXPECT_GT(seen.intervalsMeasured, 22) << seen;
  EXPECT_GT(seen.intervalsAcrossPause, 4) << seen;
  EXPECT_GT(seen.chainsStarted, 58) << seen;
  EXPECT_GT(seen.roundsStarted, 27) << seen;
  EXPECT_GT(seen.explosions, 15) << seen;
  EXPECT_GT(seen.landingsAtExactly25, 14) << seen;
  EXPECT_GT(seen.chainsBegunInPauseMenu, 4) << seen;
  EXPECT_GT(seen.heightsWithDecimals, 1'250) << seen;
  EXPECT_GT(seen.linesRunTogether, 450) << seen;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSession, ::testing::Range<std::uint64_t>(1, 11),
                         [](const auto& info) { return "Seed" + std::to_string(info.param); });

// --- The model itself, on cases whose frames are known -------------------------------------------

// Free play, the practice check passed, the overlay on, a chain open; 4 s into the session.
std::vector<Step> ChainOpen() {
  return {model::SwitchMode{GameMode::Freeplay},
          Fire{GameFunction::kInit},
          Advance{3 * kSecond},
          SetVariable{Setting::kEnabled, "1", 1.0},
          Advance{kSecond},
          Fire{GameFunction::kJump},
          model::PlaceBall{1024.0f},
          model::PlaceCar{300.0f}};
}

std::vector<Step> Then(std::vector<Step> steps, std::initializer_list<Step> more) {
  steps.insert(steps.end(), more);
  return steps;
}

struct KnownCase {
  const char* name;
  std::vector<Step> steps;
  // The frame after the last step, or the part of it the case is about, so that a case about the
  // height does not fail for a change of the time's text.
  std::string shows;
};

void PrintTo(const KnownCase& known, std::ostream* out) {
  *out << known.name;
}

class KnownFrame : public ::testing::TestWithParam<KnownCase> {};

TEST_P(KnownFrame, IsWhatModelAndPluginDraw) {
  model::TrackerModel reference;
  std::string frame;
  for (const Step& step : GetParam().steps) {
    reference.Apply(step);
    frame = reference.Frame();
  }
  const std::string& shows = GetParam().shows;
  EXPECT_TRUE(shows.empty() ? frame.empty() : frame.find(shows) != std::string::npos)
      << "the model draws \"" << frame << "\", which does not show \"" << shows << '"';
  const auto mismatch = model::FindMismatch(GetParam().steps, Variant::kFaithful);
  EXPECT_FALSE(mismatch.has_value()) << "step " << mismatch->step << ": model "
                                     << mismatch->expected << ", plugin " << mismatch->drawn;
}

const Fire kLanded{GameFunction::kLanded};
const Fire kDodge{GameFunction::kDodge};

INSTANTIATE_TEST_SUITE_P(
    Cases, KnownFrame,
    ::testing::Values(
        KnownCase{"OverlayIsOffByDefault",
                  {model::SwitchMode{GameMode::Freeplay}, Fire{GameFunction::kInit},
                   Advance{3 * kSecond}},
                  ""},
        KnownCase{"FirstResetOfAChain", Then(ChainOpen(), {kLanded}),
                  "Resets: 1 | Height: 50 | Time: 0.00"},
        KnownCase{"HeightWithDecimals",
                  Then(ChainOpen(), {kLanded, SetVariable{Setting::kHeightDecimal, "1", 1.0}}),
                  " Height: 50.00 "},
        KnownCase{"NegativeHeightKeepsItsSign",
                  Then(ChainOpen(), {model::PlaceBall{93.0f}, kLanded}), " Height: -0 "},
        KnownCase{"IntervalIsNarrowedToFloatBeforeRounding",
                  // 1.115 s as a double rounds to 1.11, as a float to 1.12.
                  Then(ChainOpen(), {kLanded, kDodge, Advance{1115 * kMillisecond}, kLanded}),
                  "Resets: 2 | Height: 50 | Time: 1.12"},
        KnownCase{"PauseIsLeftOut",
                  Then(ChainOpen(), {kLanded, kDodge, Advance{kSecond}, Fire{GameFunction::kPause},
                                     Advance{30 * kSecond}, Fire{GameFunction::kUnpause},
                                     Advance{kSecond}, kLanded}),
                  "Resets: 2 | Height: 50 | Time: 2.00"},
        KnownCase{"EachSegmentIsCutToWholeMilliseconds",
                  // 7.999 ms and 8.999 ms are cut to 7 and 8: 0.015 s shows 0.01, where the
                  // uncut 16 ms would show 0.02.
                  Then(ChainOpen(),
                       {kLanded, kDodge, Advance{7 * kMillisecond + 9'990},
                        Fire{GameFunction::kPause}, Advance{kSecond}, Fire{GameFunction::kUnpause},
                        Advance{8 * kMillisecond + 9'990}, kLanded}),
                  "Resets: 2 | Height: 50 | Time: 0.01"},
        KnownCase{"CarAtExactly25DoesNotCount",
                  Then(ChainOpen(), {model::PlaceCar{25.0f}, kLanded}), "Resets: 0 | Height: 0 | "},
        KnownCase{"TinyTextRunsTheLinesTogether",
                  Then(ChainOpen(), {kLanded, SetVariable{Setting::kTextSize, "0.05", 0.05}}),
                  "Resets: 1Height: 50Time: "},
        KnownCase{"CountSurvivesTheGameEventUntilTheNextChain",
                  Then(ChainOpen(),
                       {kLanded, kDodge, Advance{kSecond}, kLanded, Fire{GameFunction::kDestroyed},
                        Fire{GameFunction::kInit}, Advance{3 * kSecond}}),
                  "Resets: 2 | Height: 50 | Time: 1.00"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Shrinking and the written script ------------------------------------------------------------

TEST(Shrink, KeepsOnlyTheStepsTheFailureNeeds) {
  // Fails when a landing comes after a jump somewhere in the list.
  const auto fails = [](const std::vector<Step>& steps) {
    bool jumped = false;
    for (const Step& step : steps) {
      const auto* fire = std::get_if<Fire>(&step);
      if (fire && fire->function == GameFunction::kJump) jumped = true;
      if (fire && fire->function == GameFunction::kLanded && jumped) return true;
    }
    return false;
  };
  std::vector<Step> steps;
  for (int i = 0; i < 300; ++i) steps.push_back(Advance{i});
  steps[57] = Fire{GameFunction::kJump};
  steps[211] = kLanded;
  steps[250] = kLanded;

  const auto shrunk = model::Shrink(steps, fails);

  ASSERT_EQ(shrunk.size(), 2u);
  EXPECT_EQ(std::get<Fire>(shrunk[0]).function, GameFunction::kJump);
  EXPECT_EQ(std::get<Fire>(shrunk[1]).function, GameFunction::kLanded);
}

TEST(Shrink, JoinsClockAdvancesWhereTheFailureAllows) {
  // Fails when a landing comes at least 3 s after the start, with a jump before it.
  const auto fails = [](const std::vector<Step>& steps) {
    std::int64_t now = 0;
    bool jumped = false;
    for (const Step& step : steps) {
      if (const auto* advance = std::get_if<Advance>(&step)) now += advance->ticks;
      const auto* fire = std::get_if<Fire>(&step);
      if (fire && fire->function == GameFunction::kJump) jumped = true;
      if (fire && fire->function == GameFunction::kLanded && jumped && now >= 3 * kSecond) {
        return true;
      }
    }
    return false;
  };
  const std::vector<Step> steps{Advance{kSecond}, Fire{GameFunction::kJump}, Advance{2 * kSecond},
                                kLanded};

  const auto joined = model::JoinAdvances(steps, fails);

  ASSERT_EQ(joined.size(), 3u);
  EXPECT_EQ(std::get<Fire>(joined[0]).function, GameFunction::kJump);
  EXPECT_EQ(std::get<Advance>(joined[1]).ticks, 3 * kSecond);
  EXPECT_EQ(std::get<Fire>(joined[2]).function, GameFunction::kLanded);
}

struct WrongRule {
  const char* name;
  Variant variant;
  std::size_t shortest;  // steps in the shortest session that shows the fault
};

void PrintTo(const WrongRule& rule, std::ostream* out) {
  *out << rule.name;
}

class WrongModel : public ::testing::TestWithParam<WrongRule> {
 protected:
  // Runs the host program on the script; its frame texts, one per line, without the times. Its
  // standard error (a hint when no reset shows) is kept beside the output.
  static std::vector<std::string> HostFrames(const std::filesystem::path& script) {
    const auto output = script.string() + ".out";
    const std::string command = std::string(QUILLON_HOST_PATH) + " " + script.string() + " >" +
                                output + " 2>" + output + ".err";
    EXPECT_EQ(std::system(command.c_str()), 0) << "quillon-host failed on " << script;
    std::ifstream lines(output);
    std::vector<std::string> frames;
    for (std::string line; std::getline(lines, line);) {
      const std::string text = line.substr(line.find(' ') + 1);
      frames.push_back(text == "(nothing drawn)" ? "" : text);
    }
    return frames;
  }
};

TEST_P(WrongModel, IsCaughtAndShrunkToAScriptTheHostReplays) {
  const auto folder = FailureFolder() / GetParam().name;
  std::optional<model::FailureReport> report;
  for (std::uint64_t seed = 1; seed <= 20 && !report; ++seed) {
    report = model::CheckSeed(seed, 5'000, GetParam().variant, folder);
  }
  ASSERT_TRUE(report.has_value()) << "no seed showed the wrong rule";
  // The shrunk session must show the wrong rule, not a difference between the plugin and the
  // faithful model that any session of a few steps shows (an overlay text changed in one only).
  const auto faithful = model::FindMismatch(report->shrunk, Variant::kFaithful);
  ASSERT_FALSE(faithful.has_value())
      << "Looked for a session that only the wrong rule " << GetParam().name
      << " fails; found one the faithful model fails too: after step " << faithful->step + 1
      << " the model expects \"" << faithful->expected << "\" but the plugin draws \""
      << faithful->drawn << "\". The plugin and the reference model (tests/model/) disagree; "
      << "the RandomSession and KnownFrame tests show where.\n"
      << model::Describe(*report);
  EXPECT_EQ(report->shrunk.size(), GetParam().shortest)
      << "Looked for the shortest session that shows the wrong rule " << GetParam().name << " ("
      << GetParam().shortest << " steps); found one of " << report->shrunk.size()
      << ". A change to the plugin's or the model's reset rules changes the shortest session.\n"
      << model::Describe(*report);
  EXPECT_NE(report->last.expected, report->last.drawn);

  // The host program replays the script to the very frames the plugin drew under the test.
  const auto frames = HostFrames(report->script);
  EXPECT_EQ(frames, model::PluginFrames(report->shrunk));
  ASSERT_EQ(frames.size(), report->shrunk.size());
  EXPECT_EQ(frames.back(), report->last.drawn);
}

INSTANTIATE_TEST_SUITE_P(Rules, WrongModel,
                         ::testing::Values(
                             // Free play, init, 3 s, overlay on, car at 25, landing.
                             WrongRule{"CarAt25Counts", Variant::kCarAt25Counts, 6},
                             // Free play, init, 3 s, overlay on, car up, landing, pause, dodge,
                             // landing: the model still times the chain and counts 2, the plugin's
                             // stopwatch stands still and it starts over at 1.
                             WrongRule{"PauseCounted", Variant::kPauseCounted, 9}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
