#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
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
// Text a step owns, shared between copies of the step: a script may hold millions of steps, so
// each stays a few words wide.
using StepText = std::shared_ptr<const std::string>;

struct SetMode {
  pluginsdk::GameMode mode;
};
struct FireEvent {
  // The full game-function name. A name the table of events holds is pointed at, not owned.
  StepText function;
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
struct Assignment {
  std::string name;
  std::string value;
};
struct SetVariable {
  std::shared_ptr<const Assignment>
      assignment;  // one block for both texts, so the step stays small
};
struct ShowVariable {
  StepText name;
};
struct DrawFrame {
  std::shared_ptr<const std::filesystem::path> image;  // null: no picture
};
struct ShowSettings {
  std::shared_ptr<const std::filesystem::path> image;  // null: no picture
};
struct ClickWidget {
  StepText label;
};
struct RunCommand {
  StepText commandLine;  // the words as the console splits them; quoted words stay quoted
};
struct ExpectFrame {
  StepText text;  // what the latest frame step must have printed after its time
};
struct SetScreen {
  Vector2 size;  // the canvas of the following frames, in pixels
};
struct LostSteps {
  std::uint64_t count;  // steps of play a recording could not write here (its writer fell behind)
};

using StepAction = std::variant<SetMode, FireEvent, PlaceBall, PlaceCar, SetGameState, SetVariable,
                                ShowVariable, DrawFrame, ShowSettings, ClickWidget, RunCommand,
                                ExpectFrame, SetScreen, LostSteps>;

struct Step {
  int line;            // line in the script, from 1
  std::int64_t ticks;  // time of the step in 100 ns ticks from the start
  StepAction action;
};
// A million steps must replay in well under 64 MB: a new kind of step keeps its text in a
// StepText rather than widen every step.
static_assert(sizeof(Step) <= 40);

// A fault in a script, or in carrying out one of its steps, as "FILE:LINE: message"; faults in
// reading a script, a line each.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Says why a variable step is refused: an unknown name, or (when a value is given) a value the
// variable would not take. Nothing: the step is fine.
using VariableCheck = std::function<std::optional<std::string>(
    std::string_view name, std::optional<std::string_view> value)>;

// Says why a command step is refused: no console command has that name. Nothing: the command
// exists. None given: no command is known.
using CommandCheck = std::function<std::optional<std::string>(std::string_view name)>;

// The longest line a script may have, in bytes: a file that is no script (a device that never
// ends a line) is then refused in little memory.
inline constexpr std::size_t kLongestScriptLine = 1 << 20;

// The plugin's recordings begin and end with these comment lines; one that has its first line and
// not its end line was cut short (a full disk, a crash), so the play after its last line is
// missing.
inline constexpr std::string_view kRecordingHeader = "# Recorded by Quillon Plugin ";
inline constexpr std::string_view kRecordingEnd = "# the recording ends here: ";

// Where a recording was cut short: its last line with text, and the time of its last step.
struct CutShort {
  int line;
  std::int64_t ticks;
};

// A script read whole: its steps, and whether it is a recording that was cut short.
struct Script {
  std::vector<Step> steps;
  std::optional<CutShort> cutShort;
};

// Parses a whole script. Throws ScriptError naming every fault, one a line in line order, as
// "FILE:LINE: message" (the first 20, then "... and N more"); `source` names the file in them.
// A byte-order mark at the start, as some editors write, is skipped.
std::vector<Step> ParseSession(std::string_view text, const std::string& source,
                               const VariableCheck& checkVariable,
                               const CommandCheck& checkCommand = {});
// The same, with what the script says of itself.
Script ParseScript(std::string_view text, const std::string& source,
                   const VariableCheck& checkVariable, const CommandCheck& checkCommand = {});
// Reads and parses a script line by line from a stream; `source` names it in faults.
std::vector<Step> ReadSession(std::istream& stream, const std::string& source,
                              const VariableCheck& checkVariable,
                              const CommandCheck& checkCommand = {});
// Reads and parses a script file: "-" is standard input; pipes and other files that are not
// regular files are read too. A file that cannot be read is a ScriptError without a line
// ("FILE: no such file", "FILE: is a directory", "FILE: permission denied").
std::vector<Step> LoadSession(const std::filesystem::path& file, const VariableCheck& checkVariable,
                              const CommandCheck& checkCommand = {});
Script LoadScript(const std::filesystem::path& file, const VariableCheck& checkVariable,
                  const CommandCheck& checkCommand = {});
// How faults name a script file: its path, or "(standard input)" for "-".
std::string ScriptName(const std::filesystem::path& file);

// The largest screen side a script may ask for: a picture of it must fit in memory.
inline constexpr int kLargestScreenSide = 8192;

// The game-function names behind the short event names of scripts.
std::optional<std::string_view> GameFunctionFor(std::string_view shortName);
// The step that fires the event of that short name, as a script's "event NAME" gives it.
std::optional<FireEvent> EventStep(std::string_view shortName);
// The short name a script gives the event's game function; empty when it has none.
std::string_view ShortEventName(const FireEvent& event);

}  // namespace host
