#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "GameWorld.h"
#include "WrapperStructs.h"

namespace host {

// --- The steps of a session script ---------------------------------------------------------------
struct SetMode {
  pluginsdk::GameMode mode;
};
struct FireEvent {
  std::string function;  // full game-function name
};
struct PlaceBall {
  std::optional<Vector> location;  // none: no ball
};
struct PlaceCar {
  std::optional<Vector> location;  // none: no local car
};
struct SetGameState {
  bool present;
};
struct SetVariable {
  std::string name;
  std::string value;
};
struct ShowVariable {
  std::string name;
};
struct DrawFrame {
  std::optional<std::filesystem::path> image;
};
struct ShowSettings {
  std::optional<std::filesystem::path> image;
};
struct ClickWidget {
  std::string label;
};
struct RunCommand {
  std::string commandLine;  // the words as the console splits them; quoted words stay quoted
};

using StepAction = std::variant<SetMode, FireEvent, PlaceBall, PlaceCar, SetGameState, SetVariable,
                                ShowVariable, DrawFrame, ShowSettings, ClickWidget, RunCommand>;

struct Step {
  int line;            // line in the script, from 1
  std::int64_t ticks;  // time of the step in 100 ns ticks from the start
  StepAction action;
};

// A fault in a script, as "FILE:LINE: message".
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Says why a variable step is refused: an unknown name, or (when a value is given) a value the
// variable would not take. Nothing: the step is fine.
using VariableCheck = std::function<std::optional<std::string>(
    std::string_view name, std::optional<std::string_view> value)>;

// Whether a console command of that name exists. None given: no command is known.
using CommandCheck = std::function<bool(std::string_view name)>;

// Parses a whole script. Throws ScriptError at the first fault; `source` names the file in it.
std::vector<Step> ParseSession(std::string_view text, const std::string& source,
                               const VariableCheck& checkVariable,
                               const CommandCheck& checkCommand = {});
// Reads and parses a script file; an unreadable file is a ScriptError too.
std::vector<Step> LoadSession(const std::filesystem::path& file, const VariableCheck& checkVariable,
                              const CommandCheck& checkCommand = {});

// The game-function names behind the short event names of scripts.
std::optional<std::string_view> GameFunctionFor(std::string_view shortName);

}  // namespace host
