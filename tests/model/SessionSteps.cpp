#include "SessionSteps.h"

#include <array>
#include <charconv>

#include "HostClock.h"
#include "Overloaded.h"

namespace model {
namespace {

// The float widened to double in shortest form: reads back as exactly the same float.
std::string Coordinate(float value) {
  std::array<char, 40> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(value));
  return std::string(buffer.data(), result.ptr);
}

std::string Location(std::string_view actor, const std::optional<float>& z) {
  if (!z) return std::string(actor) + " none";
  return std::string(actor) + " 0 0 " + Coordinate(*z);
}

}  // namespace

std::string_view ScriptName(GameFunction function) {
  static constexpr std::array<std::string_view, 10> kNames{
      "init",       "destroyed",  "jump",    "landed", "dodge",
      "ballground", "roundstart", "explode", "pause",  "unpause",
  };
  return kNames[static_cast<std::size_t>(function)];
}

std::string_view ScriptName(pluginsdk::GameMode mode) {
  switch (mode) {
    case pluginsdk::GameMode::Menu:
      return "menu";
    case pluginsdk::GameMode::Freeplay:
      return "freeplay";
    case pluginsdk::GameMode::Training:
      return "training";
    case pluginsdk::GameMode::Match:
      return "match";
  }
  return "menu";
}

std::string_view VariableName(Setting setting) {
  static constexpr std::array<std::string_view, 5> kNames{
      "quillon_enabled", "quillon_heightdecimal", "quillon_textsize",
      "quillon_posx",    "quillon_posy",
  };
  return kNames[static_cast<std::size_t>(setting)];
}

std::string ScriptAction(const Step& step) {
  return std::visit(
      Overloaded{
          [](const Advance&) { return std::string(); },
          [](const Fire& s) { return "event " + std::string(ScriptName(s.function)); },
          [](const SwitchMode& s) { return "mode " + std::string(ScriptName(s.mode)); },
          [](const PlaceBall& s) { return Location("ball", s.z); },
          [](const PlaceCar& s) { return Location("car", s.z); },
          [](const SetGameState& s) {
            return std::string(s.present ? "gamestate present" : "gamestate none");
          },
          [](const SetVariable& s) {
            return "set " + std::string(VariableName(s.setting)) + " " + s.text;
          },
      },
      step);
}

std::string Seconds(std::int64_t ticks) {
  constexpr std::int64_t kPerSecond = pluginsdk::HostClock::kTicksPerSecond;
  const std::string fraction = std::to_string(ticks % kPerSecond);
  return std::to_string(ticks / kPerSecond) + "." + std::string(7 - fraction.size(), '0') +
         fraction;
}

std::string Describe(const Step& step) {
  if (const auto* advance = std::get_if<Advance>(&step)) {
    return "advance " + Seconds(advance->ticks) + " s";
  }
  return ScriptAction(step);
}

}  // namespace model
