// The live window's keys, as game actions on the host: which game functions each runs, and
// where it leaves the car and the ball. No display is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GameControls.h"
#include "PluginSession.h"

namespace {

using host::GameAction;
using pluginsdk::GameMode;

// Records every game function the host runs by its short name, a landing with the car's height
// and the start of a game event with the mode it starts in.
class GameFunctionLog {
 public:
  explicit GameFunctionLog(pluginsdk::Host& host) {
    for (const char* name : {"init", "destroyed", "jump", "landed", "dodge", "ballground",
                             "roundstart", "explode", "pause", "unpause"}) {
      host.Hook(kObserver, std::string(*host::GameFunctionFor(name)),
                [this, name, &host](std::string) {
                  std::string entry = name;
                  const auto& world = host.World();
                  if (entry == "landed")
                    entry += " " + std::to_string(std::lround(world.localCar->location.Z));
                  if (entry == "init") entry += " " + std::to_string(static_cast<int>(world.mode));
                  entries.push_back(entry);
                });
    }
  }

  static constexpr pluginsdk::PluginId kObserver = 9999;
  std::vector<std::string> entries;
};

TEST(GameControls, EachActionRunsTheGameFunctionsTheGameWould) {
  struct Case {
    const char* name;
    std::vector<GameAction> actions;
    std::vector<std::string> functions;
  };
  const Case cases[] = {
      {"jump", {GameAction::Jump}, {"jump"}},
      {"landings", {GameAction::LandInAir, GameAction::LandOnFloor}, {"landed 150", "landed 17"}},
      {"dodge", {GameAction::Dodge}, {"dodge"}},
      {"ball on the ground", {GameAction::BallTouchesGround}, {"ballground"}},
      {"round start", {GameAction::RoundStart}, {"roundstart"}},
      {"explosion", {GameAction::BallExplodes}, {"explode"}},
      {"pause toggles",
       {GameAction::TogglePause, GameAction::TogglePause, GameAction::TogglePause},
       {"pause", "unpause", "pause"}},
      // From free play: custom training (2), match (3), the menu (no game event), free play (1).
      {"modes",
       {GameAction::NextMode, GameAction::NextMode, GameAction::NextMode, GameAction::NextMode},
       {"destroyed", "init 2", "destroyed", "init 3", "destroyed", "init 1"}},
      {"ball moves only", {GameAction::BallUp, GameAction::BallDown}, {}},
  };
  for (const Case& c : cases) {
    testing_support::PluginSession session;
    session.Mode(GameMode::Freeplay);
    GameFunctionLog log(session.Host());
    host::GameControls controls(session.Host());
    for (const GameAction action : c.actions) controls.Play(action);
    EXPECT_EQ(log.entries, c.functions) << c.name;
  }
}

TEST(GameControls, TheBallMovesInStepsOfItsSpanWithinFloorAndCeiling) {
  testing_support::PluginSession session;
  host::GameControls controls(session.Host());
  const auto ballZ = [&] { return session.Host().World().gameState->ball->location.Z; };
  controls.Play(GameAction::BallDown);
  EXPECT_FLOAT_EQ(ballZ(), 93.15f);
  for (int i = 0; i < 10; ++i) controls.Play(GameAction::BallUp);
  EXPECT_FLOAT_EQ(ballZ(), static_cast<float>(93.15 + 0.5 * 1861.7));
  EXPECT_EQ(controls.Status(), "menu | ball 50 % | car on the floor");
  for (int i = 0; i < 15; ++i) controls.Play(GameAction::BallUp);
  EXPECT_FLOAT_EQ(ballZ(), 1954.85f);
  session.Host().World().gameState->ball = nullptr;
  controls.Play(GameAction::BallUp);
  EXPECT_EQ(controls.Status(), "menu | no ball | car on the floor");
}

TEST(GameControls, PlayedTogetherTheyCountResetsAsThePluginShows) {
  testing_support::PluginSession session;
  session.Set("quillon_enabled", "1");
  host::GameControls controls(session.Host());
  controls.EnterMode(GameMode::Freeplay);
  session.At(3.0);
  for (int i = 0; i < 10; ++i) controls.Play(GameAction::BallUp);
  for (const GameAction action : {GameAction::Jump, GameAction::LandInAir, GameAction::LandInAir,
                                  GameAction::Dodge, GameAction::LandOnFloor}) {
    controls.Play(action);
  }
  session.At(4.5);
  controls.Play(GameAction::LandInAir);
  EXPECT_EQ(session.Frame(), "Resets: 2 | Height: 50 | Time: 1.50");
}

TEST(GameControls, ThePauseKeyFollowsTheScriptsPauseSteps) {
  testing_support::PluginSession session;
  GameFunctionLog log(session.Host());
  host::GameControls controls(session.Host());
  const auto step = [](const char* name) {
    return host::Step{
        1, 0, host::FireEvent{std::make_shared<const std::string>(*host::GameFunctionFor(name))}};
  };
  controls.Follow(step("pause"));
  EXPECT_TRUE(controls.Paused());
  controls.Play(GameAction::TogglePause);
  controls.Follow(step("pause"));
  controls.Follow(step("destroyed"));
  EXPECT_FALSE(controls.Paused());
  EXPECT_EQ(log.entries, std::vector<std::string>{"unpause"});
}

}  // namespace
