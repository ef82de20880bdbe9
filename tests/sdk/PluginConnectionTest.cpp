// What the SDK's handles leave to the host core, which answers the same for the stand-in SDK's
// handles and the host's own SDK's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ConsoleVariable.h"
#include "GameWorld.h"
#include "Host.h"

namespace {

using pluginsdk::GameMode;

TEST(PluginConnection, GameModesAnswerAsTheGameDoesAndCustomTrainingIsCounted) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  struct Case {
    GameMode mode;
    bool inGame;
    bool inFreeplay;
    bool inCustomTraining;
  };
  const Case cases[] = {
      {GameMode::Menu, false, false, false},
      {GameMode::Freeplay, true, true, false},
      {GameMode::Training, true, false, true},
      {GameMode::Match, true, false, false},
  };
  for (const auto& c : cases) {
    host.World().mode = c.mode;
    const auto askedBefore = host.CustomTrainingQuestions();
    EXPECT_EQ(plugin->InGame(), c.inGame) << static_cast<int>(c.mode);
    EXPECT_EQ(plugin->InFreeplay(), c.inFreeplay) << static_cast<int>(c.mode);
    EXPECT_EQ(plugin->InCustomTraining(), c.inCustomTraining) << static_cast<int>(c.mode);
    EXPECT_EQ(host.CustomTrainingQuestions(), askedBefore + 1);
  }
}

TEST(PluginConnection, AVariableHasOnlyTheBoundsItsFlagsName) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  struct Case {
    bool hasMin;
    bool hasMax;
    float set;
    float expected;
  };
  // Bounds 5 to 10 throughout: only a flag makes one count.
  const Case cases[] = {
      {false, false, 20.0f, 20.0f}, {false, false, -3.0f, -3.0f}, {true, false, -3.0f, 5.0f},
      {true, false, 20.0f, 20.0f},  {false, true, 20.0f, 10.0f},  {true, true, 7.0f, 7.0f},
  };
  int index = 0;
  for (const auto& c : cases) {
    const auto name = "quillon_bounded_" + std::to_string(index++);
    const auto variable =
        plugin->RegisterVariable(name, "7", "", true, c.hasMin, 5.0f, c.hasMax, 10.0f, false);
    variable->Set(c.set);
    EXPECT_EQ(variable->AsFloat(), c.expected) << name;
    EXPECT_EQ(variable->Owner(), plugin->id);
  }
}

TEST(PluginConnection, AChangeCallbackGetsTheVariableWithoutKeepingIt) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  auto variable =
      plugin->RegisterVariable("quillon_watched", "0", "", true, false, 0.0f, false, 0.0f, false);
  std::string oldText;
  std::shared_ptr<pluginsdk::ConsoleVariable> passed;
  pluginsdk::ConsoleVariable::OnChanged(
      variable, [&](std::string old, std::shared_ptr<pluginsdk::ConsoleVariable> changed) {
        oldText = std::move(old);
        passed = std::move(changed);
      });
  variable->Set(3);
  EXPECT_EQ(oldText, "0");
  EXPECT_EQ(passed, variable);

  passed.reset();
  const std::weak_ptr<pluginsdk::ConsoleVariable> watched = variable;
  variable.reset();
  ASSERT_TRUE(host.RemoveVariable("quillon_watched"));
  EXPECT_TRUE(watched.expired());
}

TEST(PluginConnection, MissingObjectsAreNullAndANullActorIsAtTheOrigin) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  const auto& world = host.World();
  EXPECT_EQ(pluginsdk::BallOf(plugin->CurrentGameState().get()), world.gameState->ball);
  EXPECT_EQ(pluginsdk::LocationOf(world.localCar.get()), pluginsdk::GameWorld::kCarOnFloor);

  host.World().gameStatePresent = false;
  EXPECT_EQ(plugin->CurrentGameState(), nullptr);
  EXPECT_EQ(pluginsdk::BallOf(nullptr), nullptr);
  EXPECT_EQ(pluginsdk::LocationOf(nullptr), Vector{});
}

}  // namespace
