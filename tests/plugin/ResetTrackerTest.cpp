// Reset counting, chains and intervals, driven by game functions fired on the loaded module.
#include <gtest/gtest.h>

#include <cmath>

#include "DynamicLibrary.h"
#include "PluginSession.h"

namespace {

using pluginsdk::GameMode;

constexpr float kAirborne = 300.0f;
constexpr float kOnFloor = 17.0f;

class ResetTracker : public ::testing::Test {
 protected:
  testing_support::PluginSession session;
  const quillon::ResetRecord& record = session.Plugin().record;

  // A counted landing: car in the air, ball at `ballZ`.
  void ResetAt(double seconds, float ballZ = 500.0f) {
    session.At(seconds);
    session.Ball(ballZ);
    session.Car(kAirborne);
    session.Fire("landed");
    session.Fire("dodge");
  }

  void StartChain(double seconds) {
    session.At(seconds);
    session.Fire("jump");
  }
};

TEST_F(ResetTracker, PlayIsIgnoredUntilThePracticeCheckHasFoundFreeplay) {
  session.Mode(GameMode::Freeplay);
  session.Fire("init");
  session.At(2.9);
  session.Fire("jump");
  ResetAt(2.95);
  EXPECT_EQ(record.resetCount, 0);
  EXPECT_FALSE(session.Plugin().practiceActive);
  session.At(3.0);
  EXPECT_TRUE(session.Plugin().practiceActive);
  ResetAt(3.1);
  EXPECT_EQ(record.resetCount, 1);
}

struct ModeCase {
  const char* name;
  GameMode mode;
  bool practising;
};

class PracticeCheck : public ::testing::TestWithParam<ModeCase> {};

TEST_P(PracticeCheck, ActivatesOnlyInFreeplayAndCustomTraining) {
  testing_support::PluginSession session;
  session.Mode(GetParam().mode);
  session.Fire("init");
  session.At(3.0);
  EXPECT_EQ(session.Plugin().practiceActive, GetParam().practising);
}

INSTANTIATE_TEST_SUITE_P(Modes, PracticeCheck,
                         ::testing::Values(ModeCase{"Menu", GameMode::Menu, false},
                                           ModeCase{"Freeplay", GameMode::Freeplay, true},
                                           ModeCase{"Training", GameMode::Training, true},
                                           ModeCase{"Match", GameMode::Match, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResetTracker, FirstResetOfAChainCountsOneWithZeroIntervalAndTheBallHeight) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(4.5, 1954.85f);
  EXPECT_EQ(record.resetCount, 1);
  EXPECT_EQ(record.resetInterval, 0.0);
  EXPECT_FLOAT_EQ(record.resetHeight, 100.0f);
  EXPECT_TRUE(record.intervalStopwatch.running);
}

TEST(BallHeight, IsAPercentageOfTheSpanAndNotClamped) {
  struct Case {
    float ballZ;
    float percent;
  };
  for (const Case c : {Case{93.15f, 0.0f}, Case{1954.85f, 100.0f}, Case{50.0f, -2.31777f},
                       Case{3000.0f, 156.1396f}}) {
    testing_support::PluginSession fresh;
    fresh.StartFreeplay();
    fresh.Fire("jump");
    fresh.Ball(c.ballZ);
    fresh.Car(kAirborne);
    fresh.Fire("landed");
    EXPECT_NEAR(fresh.Plugin().record.resetHeight, c.percent, 1e-4f) << "ball at " << c.ballZ;
  }
}

TEST_F(ResetTracker, TwoResetsApartGiveTheIntervalInWholeMilliseconds) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  ResetAt(7.5004);
  EXPECT_EQ(record.resetCount, 2);
  EXPECT_DOUBLE_EQ(record.resetInterval, 2.5);
}

TEST_F(ResetTracker, ALandingWithoutADodgeAfterAResetIsNotCounted) {
  session.StartFreeplay();
  StartChain(4.0);
  session.Car(kAirborne);
  session.Fire("landed");
  session.At(4.5);
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 1);
  session.Fire("dodge");
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 2);
}

TEST_F(ResetTracker, ACarAtExactly25UnitsHasNotLeftTheFloor) {
  session.StartFreeplay();
  StartChain(4.0);
  session.Car(25.0f);
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 0);
  session.Car(std::nextafter(25.0f, 100.0f));
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 1);
}

TEST_F(ResetTracker, ALandingOnTheFloorChangesNothing) {
  session.StartFreeplay();
  StartChain(4.0);
  session.Car(kOnFloor);
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 0);
  EXPECT_FALSE(session.Plugin().awaitingDodge);
}

TEST_F(ResetTracker, ALandingWithAMissingGameObjectChangesNothingAndReleasesEveryHandle) {
  session.StartFreeplay();
  StartChain(4.0);
  auto& world = session.Host().World();
  const auto state = world.gameState;
  session.Car(kAirborne);
  const auto car = world.localCar;

  world.gameStatePresent = false;
  session.Fire("landed");
  world.gameStatePresent = true;
  const auto ball = world.gameState->ball;
  world.gameState->ball = nullptr;
  session.Fire("landed");
  world.gameState->ball = ball;
  world.localCar = nullptr;
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 0);
  EXPECT_FALSE(session.Plugin().awaitingDodge);

  world.localCar = car;
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 1);
  // Only the world and this test hold the objects once the handlers have returned.
  EXPECT_EQ(state.use_count(), 2);
  EXPECT_EQ(ball.use_count(), 2);
  EXPECT_EQ(car.use_count(), 2);
}

TEST_F(ResetTracker, APauseIsLeftOutOfTheInterval) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  session.At(6.0);
  session.Fire("pause");
  session.At(36.0);
  session.Fire("unpause");
  ResetAt(37.0);
  EXPECT_DOUBLE_EQ(record.resetInterval, 2.0);
}

TEST_F(ResetTracker, EachRunningSegmentIsCutToWholeMillisecondsOnItsOwn) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  session.At(5.0016);
  session.Fire("pause");
  session.At(10.0);
  session.Fire("unpause");
  ResetAt(10.0016);
  EXPECT_DOUBLE_EQ(record.resetInterval, 0.002);
}

TEST_F(ResetTracker, AJumpAfterTheBallTouchedTheGroundStartsANewChain) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  ResetAt(6.0);
  session.Fire("jump");  // the chain is open: a jump changes nothing
  EXPECT_EQ(record.resetCount, 2);
  session.Fire("ballground");
  ResetAt(7.0);  // before the next jump a landing still adds to the old chain
  EXPECT_EQ(record.resetCount, 3);
  StartChain(8.0);
  EXPECT_EQ(record.resetCount, 0);
  EXPECT_EQ(record.resetInterval, 0.0);
  EXPECT_EQ(record.resetHeight, 0.0f);
  EXPECT_FALSE(record.intervalStopwatch.running);
  ResetAt(9.0);
  EXPECT_EQ(record.resetCount, 1);
  EXPECT_EQ(record.resetInterval, 0.0);
}

TEST_F(ResetTracker, AfterAnExplosionPlayWaitsForTheKickoff) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  session.Fire("explode");
  session.Fire("ballground");
  session.Fire("jump");
  ResetAt(6.0);
  EXPECT_EQ(record.resetCount, 1);
  EXPECT_FALSE(session.Plugin().chainEnded);

  session.At(7.0);
  session.Fire("roundstart");
  EXPECT_EQ(record.resetCount, 0);
  EXPECT_TRUE(session.Plugin().awaitingDodge);
  session.Car(kAirborne);
  session.Fire("landed");
  EXPECT_EQ(record.resetCount, 0) << "nothing counts after kickoff before a dodge or jump";
  StartChain(8.0);
  ResetAt(8.5);
  EXPECT_EQ(record.resetCount, 1);
}

TEST_F(ResetTracker, ASecondInitRegistersNoSecondDrawableOrCheck) {
  session.StartFreeplay();
  session.Fire("init");
  EXPECT_EQ(session.Host().DrawableCount(), 1u);
  EXPECT_EQ(session.Host().PendingTimeouts(), 0u);
}

TEST_F(ResetTracker, ValuesSurviveADestroyedGameEventUntilTheNextChain) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  ResetAt(6.25);
  session.At(7.0);
  session.Fire("destroyed");
  EXPECT_EQ(session.Host().DrawableCount(), 0u);
  EXPECT_FALSE(session.Plugin().practiceActive);
  EXPECT_FALSE(record.intervalStopwatch.running);
  session.StartFreeplay(8.0);
  EXPECT_EQ(record.resetCount, 2);
  EXPECT_DOUBLE_EQ(record.resetInterval, 1.25);
  StartChain(12.0);
  EXPECT_EQ(record.resetCount, 0);
}

TEST_F(ResetTracker, UnloadStopsTheStopwatchAndClearsTheFlagsButKeepsTheValues) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  ResetAt(6.5);
  auto& plugin = session.Plugin();
  plugin.onUnload();
  EXPECT_FALSE(plugin.overlayRegistered || plugin.awaitingDodge || plugin.ballExploded ||
               plugin.chainEnded || plugin.practiceActive);
  EXPECT_FALSE(record.intervalStopwatch.running);
  EXPECT_TRUE(record.intervalStopwatch.stamps.empty());
  EXPECT_EQ(record.resetCount, 2);
  EXPECT_DOUBLE_EQ(record.resetInterval, 1.5);
}

// --- Where the plain rules would misreport ------------------------------------------------------

TEST_F(ResetTracker, APauseBeforeTheFirstResetLeavesTheFirstIntervalAtZero) {
  session.StartFreeplay();
  StartChain(4.0);
  session.At(5.0);
  session.Fire("pause");
  session.At(20.0);
  session.Fire("unpause");
  ResetAt(21.0);
  EXPECT_EQ(record.resetCount, 1);
  EXPECT_EQ(record.resetInterval, 0.0);
  ResetAt(22.5);
  EXPECT_DOUBLE_EQ(record.resetInterval, 1.5);
}

TEST_F(ResetTracker, APauseMenuReportedTwiceAddsNoTime) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  session.At(6.0);
  session.Fire("pause");
  session.At(10.0);
  session.Fire("pause");
  session.At(20.0);
  session.Fire("unpause");
  ResetAt(21.0);
  EXPECT_DOUBLE_EQ(record.resetInterval, 2.0);
}

TEST_F(ResetTracker, APauseRemovalWithNoPauseBeforeItChangesNothing) {
  session.StartFreeplay();
  StartChain(4.0);
  session.Fire("unpause");
  EXPECT_FALSE(record.intervalStopwatch.running);
  ResetAt(5.0);
  EXPECT_EQ(record.resetInterval, 0.0);
  session.Fire("unpause");
  ResetAt(6.0);
  EXPECT_DOUBLE_EQ(record.resetInterval, 1.0);
}

TEST_F(ResetTracker, ANewChainDuringAPauseIsNotRestartedByLeavingIt) {
  session.StartFreeplay();
  StartChain(4.0);
  ResetAt(5.0);
  session.Fire("pause");
  session.Fire("ballground");
  StartChain(6.0);
  session.At(9.0);
  session.Fire("unpause");
  EXPECT_FALSE(record.intervalStopwatch.running);
  ResetAt(10.0);
  EXPECT_EQ(record.resetInterval, 0.0);
}

// Play goes on behind the pause menu. A landing there finds the stopwatch stopped by the menu, so
// the count starts again at 1; the next interval is timed from the menu's close, with nothing of
// the earlier chain in it.
TEST_F(ResetTracker, ALandingInThePauseMenuTimesNeitherTheMenuNorTheChainBefore) {
  session.StartFreeplay();
  StartChain(3.0);
  ResetAt(4.0);
  session.At(9.0);
  session.Fire("pause");
  ResetAt(10.0);
  EXPECT_EQ(record.resetCount, 1);
  session.At(40.0);
  session.Fire("unpause");
  ResetAt(41.0);
  EXPECT_EQ(record.resetCount, 2);
  EXPECT_DOUBLE_EQ(record.resetInterval, 1.0);
  session.Set("quillon_enabled", "1");
  EXPECT_EQ(session.Frame(), "Resets: 2 | Height: 22 | Time: 1.00");
}

TEST(PracticeCheckLifetime, ACheckFiringAfterThePluginObjectIsGoneDoesNothing) {
  pluginsdk::Host host;
  const host::DynamicLibrary library(testing_support::PluginPath());
  const auto& descriptor = host::ReadDescriptor(library, testing_support::PluginPath());
  const auto connection = host.Connect();
  {
    const BakkesMod::Plugin::PluginHolder plugin = *descriptor.create();
    plugin->cvarManager = connection->cvars;
    plugin->gameWrapper = connection->game;
    plugin->onLoad();
    host.World().mode = GameMode::Freeplay;
    host.FireEvent("Function TAGame.GameEvent_TA.Init");
  }
  // The host lets the object go while its practice check is still scheduled.
  descriptor.destroy();
  ASSERT_EQ(host.PendingTimeouts(), 1u);
  // A new object, quite possibly at the old address, must not receive the old check's answer.
  const auto& fresh = static_cast<const QuillonPlugin&>(**descriptor.create());
  host.AdvanceTo(4 * pluginsdk::HostClock::kTicksPerSecond);
  EXPECT_EQ(host.PendingTimeouts(), 0u);
  EXPECT_FALSE(fresh.practiceActive);
  host.Disconnect(*connection);
  descriptor.destroy();
}

}  // namespace
