#pragma once
// The steps of a random practice session: what the model test generates, replays on the plugin
// and on the reference model, shrinks and writes out as a session script.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "GameWorld.h"

namespace model {

// The ten hooked game functions, by the short names session scripts use.
enum class GameFunction {
  kInit,
  kDestroyed,
  kJump,
  kLanded,
  kDodge,
  kBallGround,
  kRoundStart,
  kExplode,
  kPause,
  kUnpause,
};

// The variables whose changes the generator makes.
enum class Setting { kEnabled, kHeightDecimal, kTextSize, kPositionX, kPositionY };

// Moves the clock forward by this many 100 ns ticks.
struct Advance {
  std::int64_t ticks;
};
struct Fire {
  GameFunction function;
};
struct SwitchMode {
  pluginsdk::GameMode mode;
};
// Moves the ball (or takes it away) at the origin's X and Y.
struct PlaceBall {
  std::optional<float> z;
};
struct PlaceCar {
  std::optional<float> z;
};
struct SetGameState {
  bool present;
};
// Types `text` at the console; `value` is the number it reads as, before the console clamps it.
struct SetVariable {
  Setting setting;
  const char* text;
  double value;
};

using Step =
    std::variant<Advance, Fire, SwitchMode, PlaceBall, PlaceCar, SetGameState, SetVariable>;

std::string_view ScriptName(GameFunction function);
std::string_view ScriptName(pluginsdk::GameMode mode);
std::string_view VariableName(Setting setting);

// Ticks as seconds with all seven decimals ("3.0000001"): a script time that reads back exactly.
std::string Seconds(std::int64_t ticks);

// The step as a session-script action without its time ("event landed", "car 0 0 25"); empty
// for a clock advance, which only moves the time of what follows.
std::string ScriptAction(const Step& step);
// One line for a failure report, such as "advance 0.0010000 s" or "event landed".
std::string Describe(const Step& step);

}  // namespace model
