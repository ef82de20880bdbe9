// In steady play the plugin allocates nothing: not per frame, not per game event.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "CountingAllocator.h"
#include "NullCanvas.h"
#include "PluginSession.h"
#include "Practice.h"
#include "SessionScript.h"
#include "Tally.h"

namespace {

using testing_support::AllocationsDuring;

constexpr int kFrames = 10'000;
constexpr int kEvents = 10'000;

struct ColorMode {
  const char* name;
  const char* sameColor;
  const char* cycling;
  const char* keepOnScreen;
  const char* record;
};

class FrameAllocations : public ::testing::TestWithParam<ColorMode> {};

TEST_P(FrameAllocations, NoFrameAllocates) {
  testing_support::PluginSession session;
  session.StartFreeplay();
  session.Set("quillon_enabled", "1");
  session.Set("quillon_heightdecimal", "1");
  session.Set("quillon_samecolorenabled", GetParam().sameColor);
  session.Set("quillon_rgb_enabled", GetParam().cycling);
  session.Set("quillon_keep_on_screen", GetParam().keepOnScreen);
  session.Set("quillon_record", GetParam().record);
  // Past the screen's corner, so a kept overlay is moved back every frame.
  session.Set("quillon_posx", "1900");
  session.Set("quillon_posy", "1070");
  session.Fire("jump");
  session.Ball(1234.5f);
  session.Car(300.0f);
  for (double t = 4.0; t < 10.0; t += 1.37) {
    session.At(t);
    session.Fire("landed");
    session.Fire("dodge");
  }
  const auto canvas = std::make_shared<host::NullCanvas>();
  auto& host = session.Host();
  const long count = AllocationsDuring([&] {
    for (int frame = 0; frame < kFrames; ++frame) host.DrawFrame(canvas);
  });
  EXPECT_EQ(count, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, FrameAllocations,
                         ::testing::Values(ColorMode{"OneColor", "1", "0", "0", "0"},
                                           ColorMode{"PerTextColors", "0", "0", "0", "0"},
                                           ColorMode{"Cycling", "1", "1", "0", "0"},
                                           ColorMode{"KeptOnScreen", "0", "0", "1", "0"},
                                           ColorMode{"Recorded", "0", "1", "1", "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HookAllocationCount, TheCountReachesIntoTheModule) {
  testing_support::PluginSession session;
  session.StartFreeplay();
  session.Fire("jump");
  session.Car(300.0f);
  const auto landed = *host::GameFunctionFor("landed");
  // The host's name copy, plus the stopwatch's list getting its first storage in the module.
  EXPECT_EQ(AllocationsDuring([&] { session.Host().FireEvent(landed); }), 2);
}

// Apart from the host's own cost of each call, the game thread allocates nothing, not even for
// a finished chain: it only hands the chain to the chain log's writer thread, and each step of a
// recording to the recording's.
class HookAllocations : public ::testing::TestWithParam<bool> {};

TEST_P(HookAllocations, MixedGameEventsAllocateNothingButTheHostsNameCopy) {
  testing_support::PluginSession session;
  session.Set("quillon_record", GetParam() ? "1" : "0");
  session.StartFreeplay();
  session.Ball(700.0f);
  struct Event {
    std::string_view function;
    float carZ;
  };
  const auto function = [](std::string_view name) { return *host::GameFunctionFor(name); };
  const std::string_view roundStart = function("roundstart");
  const std::array<Event, 12> rhythm{{
      {function("jump"), 17.0f},
      {function("landed"), 320.0f},
      {function("dodge"), 320.0f},
      {function("landed"), 640.0f},
      {function("pause"), 640.0f},
      {function("pause"), 640.0f},
      {function("unpause"), 640.0f},
      {function("dodge"), 640.0f},
      {function("landed"), 900.0f},
      {function("ballground"), 300.0f},
      {function("landed"), 17.0f},
      {roundStart, 17.0f},  // finishes a chain of three resets
  }};
  auto& host = session.Host();
  auto& car = host.World().localCar->location;
  std::int64_t now = host.Clock().Now();
  const auto log = testing_support::ChainLogPath(host.DataFolder());
  std::size_t chainsEnded = 0;
  std::vector<long> allocations;  // of each event
  allocations.reserve(kEvents);
  const auto play = [&](int events) {
    for (int i = 0; i < events; ++i) {
      const Event& event = rhythm[static_cast<std::size_t>(i) % rhythm.size()];
      now += pluginsdk::HostClock::kTicksPerSecond / 3;
      host.AdvanceTo(now);
      car.Z = event.carZ;
      allocations.push_back(AllocationsDuring([&] { host.FireEvent(event.function); }));
      if (event.function != roundStart) continue;
      // Each round start finishes a chain. A player's chains are seconds apart: the writer has
      // written it before the next one.
      ++chainsEnded;
      while (testing_support::FileLines(log).size() != 1 + chainsEnded) std::this_thread::yield();
    }
  };
  // The stopwatch's list and the chains' hand-over reach their largest sizes.
  play(96);
  allocations.clear();

  // The host hands each handler the function's name as a fresh string: one allocation a call,
  // measured here with a handler that does nothing.
  session.Loaded().Connection().game->HookEvent("Bench.EmptyHandler: a long function name",
                                                [](std::string) {});
  const long hostCost = AllocationsDuring([&] {
    for (int i = 0; i < kEvents; ++i) host.FireEvent("Bench.EmptyHandler: a long function name");
  });
  EXPECT_EQ(hostCost, kEvents);

  play(kEvents);
  testing_support::Tally tally;
  for (std::size_t i = 0; i < allocations.size(); ++i) {
    tally.ExpectEq("only the host's one copy of the name", allocations[i], 1,
                   "event " + std::to_string(i));
  }
  tally.Report();
}

INSTANTIATE_TEST_SUITE_P(RecordingOffAndOn, HookAllocations, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Recorded" : "Unrecorded"; });

}  // namespace
