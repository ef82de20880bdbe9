// quillon-host: loads the plugin module as the game's mod host would and replays a practice
// session script against it, printing what a player would see.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ErrorText.h"
#include "ExpectationUpdate.h"
#include "Host.h"
#include "LoadedPlugin.h"
#include "ModuleDescription.h"
#include "PathText.h"
#include "QuotedText.h"
#include "RecordingsThatGo.h"
#include "SessionRecorder.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "StopOnSignals.h"

#if defined(_WIN32)
#include "WindowsApi.h"
#endif
#if defined(QUILLON_LIVE_WINDOW)
#include "LiveWindow.h"
#endif

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitIncomplete = 3;     // ran to the end, but could not check all of it
constexpr int kExitInterrupted = 130;  // as a shell reports a program that SIGINT ended

// Windows has no stand-in for the performance counter the plugin reads, so there the host's
// clock must be the real one too.
#if defined(_WIN32)
constexpr bool kAlwaysRealTime = true;
#else
constexpr bool kAlwaysRealTime = false;
#endif

constexpr std::string_view kUsage =
    R"(usage: quillon-host [--plugin FILE] [--data DIR] [--pictures DIR] [--trace] [--realtime]
                    [--record FILE] SESSION
       quillon-host [--plugin FILE] [--data DIR] [--pictures DIR] [--trace] [--record FILE]
                    --window [--close-at-end] [SESSION]
       quillon-host [--plugin FILE] --describe
       quillon-host [--plugin FILE] --update-expectations FILE...

Loads the plugin module (by default the one beside this program), replays the session script
SESSION (a file, or - for standard input) and unloads the module. The replay runs in virtual
time, exact and instant, unless --realtime is given. On Windows it always runs in real time:
there the plugin reads the system's own performance counter. In real time and in the window
each line of output is written out at once, so a pipe or a log file follows the session live.

Options:
  --plugin FILE   the plugin module to load: that very file, a relative path taken from the
                  current folder (never looked up in the system's library search)
  --data DIR      the host's data folder, made if missing and kept: config.cfg (the saved
                  variables) and the plugin's files live there. Without it a fresh temporary
                  folder is used and removed at exit; the plugin's recordings made in it are
                  named on standard error at the end, as they go
  --pictures DIR  the folder the steps' pictures are written in (default: the current
                  folder); a step's picture path is taken from it
  --trace         under each frame line, list every canvas call of the frame
  --realtime      replay in real time: the host's clock follows the system's monotonic clock
                  from the first step on; each step waits until its time has come, and the
                  plugin's performance counter reads the session's time, as in virtual time.
                  On a busy machine the clock stands at a step's time until the step has run,
                  then goes on from there: every step, from the first, runs at its time in
                  SESSION, as in virtual time
  --window        (Linux) play in a 1280x720 window, in real time: the overlay on a game-like
                  screen, the settings window used with the mouse, and keys that play the
                  game (the window names them); SESSION, if given, plays in it too, and its
                  frame steps' pictures are the window's own. Without SESSION the game starts
                  in free play with the ball at half height. Close the window, press Esc or
                  send SIGINT to end.
  --close-at-end  with --window: close the window once the last step has run
  --record FILE   write a session script of everything run, as it runs: the saved settings
                  at the start, every step (in the window, also the keys' game steps and the
                  settings window's changes as set steps) at the time it ran (a key: when it
                  was pressed; a step of SESSION: its time there, as --realtime says), and after
                  each frame an expect with what it showed (in the window: each frame whose
                  text changed, printed too, and each screenshot). Replaying FILE checks the
                  plugin still shows the same. Written in whole lines at least once a second
                  and at the end, also after SIGINT or SIGTERM, which a last comment line
                  names (then the exit status is 130 for a replay). A disk that fills up cuts
                  the file back to its last whole line, a message on standard error says the
                  recording is incomplete, the session goes on and the exit status is 1
  --describe      print the file the system loaded ("module FILE") and every field of the
                  module's descriptor record ("OFFSET FIELD VALUE"), and exit, without making
                  the plugin
  --update-expectations FILE...
                  after an intended change of what the overlay shows: replay each FILE in
                  virtual time and rewrite each expect line whose frame now shows another
                  text to that text, changing nothing else in the file (comments, steps,
                  spacing, line ends). Prints the old and new lines as a diff and, for each
                  FILE, how many of its expect lines changed. A FILE with a fault in its
                  script, or a step that cannot be carried out, is left as it was, and the
                  exit status is then 1. Review the diff: a frame that is wrong for a fault
                  is written into the file just as well
  --help          show this text

A session script has one step a line: TIME STEP [ARGS]. TIME is seconds from the start as a
decimal, never decreasing (rounded to 100 ns). '#' starts a comment anywhere outside quotes, so
a value that holds '#' must be quoted (set quillon_color "#FF0000"); single quotes do not
quote. Blank lines are allowed.
A line holds at most 1 MiB (1048576 bytes); a byte-order mark at the start is skipped.
  TIME # NOTE           a note at that time, no step (recordings write one where they stop
                        writing expect lines); its time must not go back either
  mode menu|freeplay|training|match   what the game is in (start: menu)
  event NAME            run a game function: init, destroyed, jump, landed, dodge, ballground,
                        roundstart, explode, pause, unpause, or a game-function name in quotes
  ball X Y Z | ball none        the ball's location, or no ball (start: 0 0 93.15)
  car X Y Z | car none          the local car's location, or none (start: 0 0 17)
  gamestate present|none        whether there is a current game state (start: present)
  set NAME VALUE        set a configuration variable as the console does
  show NAME             print TIME NAME = VALUE
  frame [FILE.png]      draw one frame and print its texts (and write it as an image: FILE is a
                        relative path in the picture folder, without '..'; its folders are made)
  settings [FILE.png]   draw the settings page and print its text (and write it as an image):
                        check boxes as [x] or [ ], slider values in braces, buttons in
                        brackets, and for what has no text of its own:
                          [colour R G B A]      under a colour editor's label: its swatch's
                                                colour, 0 to 255 a channel
                          [histogram: VALUES]   resets per chain of the latest 50 chains,
                                                oldest first (- when there are none)
                          [lines: VALUES]       best chain of each of the latest 30 days
                                                practised, oldest first (- when none)
  click "LABEL"         click the settings widget with that label as a mouse does (the page is
                        drawn for it, nothing printed); while a colour picker is open, a click
                        outside it only closes it, and a line says so. A label the page does
                        not show stops the replay with a message that lists the labels it shows
  command NAME [WORDS]  run a console command: one the plugin registered, or writeconfig (save
                        the saved variables into config.cfg); quote a word with blanks or '#'
  expect "TEXT"         check that the latest frame step printed TEXT after its time; if not,
                        FILE:LINE: expected 'TEXT' but the frame at TIME showed 'OTHER' goes
                        to standard error and the session goes on; at the end "N of M
                        expectations failed" and exit status 1. Before any frame: a fault
  screen W H            the canvas size of the following frames in pixels, 1 to 8192 (start:
                        1920 1080); frame pictures are that size. In --window it resizes the
                        window, whose canvas always follows its framebuffer
  lost COUNT            a recording lost COUNT steps of play here (its writer fell behind the
                        game): FILE:LINE: at TIME the recording lost COUNT steps ... goes to
                        standard error, the replay plays on and prints its frames, but they
                        are not checked as the game showed them; exit status 3 at the end

A step that writes an image prints the line picture: FILE (WIDTHxHEIGHT) after its own lines.

Before each step the clock moves to the step's time (in real time: waits for it), running
every timeout due by then at its own time, so a timeout due at a step's very time runs before
that step; after each step the deferred work queued by the plugin runs. Every fault in the script is reported, a line each in line order, as
FILE:LINE: message (the first 20, then "... and N more"), and nothing runs (exit status 2); a
script that cannot be read says so, as FILE: no such file (is a directory, permission denied).
A misspelt variable, command, step, event, mode, game state or settings label is named with
the nearest known ones. A step that cannot be carried out (a picture that cannot be written, a
label the page does not show) is reported the same way, FILE:LINE: message, and stops the
replay (exit status 1).

A recording the plugin made begins with the line "# Recorded by Quillon Plugin ..." and ends
with "# the recording ends here: ...". One without its end line was cut short (a full disk, a
crash): at the end of the replay FILE:LINE: the recording is cut short here, at TIME ... goes to
standard error, and the exit status is 3.

A replay whose frames never drew anything, or never showed a reset, ends with one "hint: ..."
line on standard error naming the likely cause the host saw: the overlay switched off, no game
event, the game not in free play or training at the frames or at the practice check, landings
only before the check, or the car never above 25 units at a landing. A session with no expect
step ends with a hint that nothing was checked. The output and the exit status stay as they are.

Exit status: 0 the replay ran and every expect held; 1 an expect failed, a step could not be
carried out, or the host failed (a recording or settings it could not write); 2 a fault in the
command line or the script, and nothing ran; 3 the replay ran to the end, but could not check
all of it (a recording that lost steps or was cut short), and every expect it had held;
130 stopped by SIGINT or SIGTERM.

Every line the host or the plugin writes to the console is printed on standard output as
"console: TEXT" when it is written, among the step's own output; so is every toast the plugin
shows, as "toast: TITLE: TEXT". A line the plugin's own thread writes comes out whole, between
two of the host's lines, never inside one. Frame pictures and the window draw a toast as a box
at the top right for its seconds. A failure of the host itself, such as settings it could not
save into config.cfg, goes to standard error instead, and the exit status is then 1.
)";

struct Options {
  std::filesystem::path plugin;
  std::filesystem::path session;
  std::optional<std::filesystem::path> data;
  bool describe = false;
  bool window = false;
  bool closeAtEnd = false;
  std::optional<std::filesystem::path> record;
  host::ReplayOptions replay{.trace = false, .realTime = kAlwaysRealTime};
};

std::filesystem::path ProgramDirectory() {
#if defined(_WIN32)
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, length)).parent_path();
#else
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

std::filesystem::path DefaultPlugin() {
#if defined(_WIN32)
  return ProgramDirectory() / "QuillonPlugin.dll";
#else
  return ProgramDirectory() / "QuillonPlugin.so";
#endif
}

// One word of the command line: as text (UTF-8) for options and messages, and as the path it
// names. On Windows the line is read as wide characters, so a path keeps every character
// whatever the system's code page.
struct Argument {
  std::string text;
  std::filesystem::path path;
};

// The words after the program's name. Throws std::runtime_error for a word that is not text
// (on Windows, broken UTF-16).
template <typename Char>
std::vector<Argument> Arguments(int argc, Char** argv) {
  std::vector<Argument> arguments;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    try {
      arguments.push_back({host::PathText(path), std::move(path)});
    } catch (const std::exception&) {
      throw std::runtime_error("argument " + std::to_string(i) + " is not valid text");
    }
  }
  return arguments;
}

// Parses the command line; prints the problem and returns nothing when it is wrong.
std::optional<Options> ParseOptions(const std::vector<Argument>& arguments, bool& helpShown) {
  Options options;
  std::optional<std::filesystem::path> plugin;
  const std::size_t count = arguments.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view argument = arguments[i].text;
    if (argument == "--help" || argument == "-h") {
      std::cout << kUsage;
      helpShown = true;
      return std::nullopt;
    }
    if (argument == "--trace") {
      options.replay.trace = true;
    } else if (argument == "--realtime") {
      options.replay.realTime = true;
    } else if (argument == "--describe") {
      options.describe = true;
    } else if (argument == "--window") {
#if defined(QUILLON_LIVE_WINDOW)
      options.window = true;
#else
      std::cerr << "quillon-host: --window is only available on Linux\n";
      return std::nullopt;
#endif
    } else if (argument == "--close-at-end") {
      options.closeAtEnd = true;
    } else if (argument == "--plugin") {
      if (i + 1 == count) {
        std::cerr << "quillon-host: --plugin needs a FILE\n";
        return std::nullopt;
      }
      plugin = arguments[++i].path;
    } else if (argument == "--record") {
      if (i + 1 == count) {
        std::cerr << "quillon-host: --record needs a FILE\n";
        return std::nullopt;
      }
      options.record = arguments[++i].path;
    } else if (argument == "--pictures") {
      if (i + 1 == count) {
        std::cerr << "quillon-host: --pictures needs a DIR\n";
        return std::nullopt;
      }
      options.replay.pictures = arguments[++i].path;
    } else if (argument == "--data") {
      if (i + 1 == count) {
        std::cerr << "quillon-host: --data needs a DIR\n";
        return std::nullopt;
      }
      options.data = arguments[++i].path;
    } else if (argument.starts_with("-") && argument != "-") {
      std::cerr << "quillon-host: unknown option " << pluginsdk::QuoteText(argument) << '\n';
      return std::nullopt;
    } else if (options.session.empty()) {
      options.session = arguments[i].path;
    } else {
      std::cerr << "quillon-host: more than one SESSION given\n";
      return std::nullopt;
    }
  }
  if (options.describe && !options.session.empty()) {
    std::cerr << "quillon-host: --describe takes no SESSION\n";
    return std::nullopt;
  }
  if (options.describe && options.record) {
    std::cerr << "quillon-host: --describe and --record cannot go together\n";
    return std::nullopt;
  }
  if (options.describe && options.window) {
    std::cerr << "quillon-host: --describe and --window cannot go together\n";
    return std::nullopt;
  }
  if (options.closeAtEnd && !options.window) {
    std::cerr << "quillon-host: --close-at-end needs --window\n";
    return std::nullopt;
  }
  if (!options.describe && !options.window && options.session.empty()) {
    std::cerr << "quillon-host: no SESSION given\n";
    return std::nullopt;
  }
  options.plugin = plugin ? *plugin : DefaultPlugin();
  return options;
}

constexpr std::string_view kUpdateOption = "--update-expectations";

// quillon-host [--plugin FILE] --update-expectations FILE...: the exit status.
int UpdateExpectations(const std::vector<Argument>& arguments) {
  std::optional<std::filesystem::path> plugin;
  std::vector<std::filesystem::path> scripts;
  std::optional<std::string> refused;
  for (std::size_t i = 0; i < arguments.size() && !refused; ++i) {
    const std::string_view argument = arguments[i].text;
    if (argument == kUpdateOption) continue;
    if (argument == "--plugin") {
      if (i + 1 == arguments.size()) {
        refused = "--plugin needs a FILE";
      } else {
        plugin = arguments[++i].path;
      }
    } else if (argument == "-") {
      refused = "--update-expectations cannot rewrite standard input";
    } else if (argument.starts_with("-")) {
      refused = "--update-expectations takes only --plugin FILE and the FILEs to update, not " +
                pluginsdk::QuoteText(argument);
    } else {
      scripts.push_back(arguments[i].path);
    }
  }
  if (!refused && scripts.empty()) refused = "--update-expectations needs a FILE";
  if (refused) {
    std::cerr << "quillon-host: " << *refused << "\nTry 'quillon-host --help'.\n";
    return kExitUsage;
  }
  return host::UpdateExpectations(scripts, plugin ? *plugin : DefaultPlugin(), std::cout, std::cerr)
             ? 0
             : kExitFailure;
}

// Makes the folder if needed and has the host use it; says why not when it cannot.
bool UseDataFolder(pluginsdk::Host& host, const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && !std::filesystem::is_directory(folder, error)) {
    error = std::make_error_code(std::errc::not_a_directory);
  }
  if (error) {
    std::cerr << "quillon-host: cannot use " << pluginsdk::QuoteText(host::PathText(folder))
              << " as the data folder: " << pluginsdk::ErrorText(error) << '\n';
    return false;
  }
  host.SetDataFolder(folder);
  return true;
}

// Opens the recording and writes its header and the settings the session begins with; throws
// std::runtime_error saying why when the file cannot be written.
std::unique_ptr<host::SessionRecorder> StartRecording(const Options& options,
                                                      const pluginsdk::Host& host) {
  const auto& file = *options.record;
  std::error_code error;
  if (!options.session.empty() && std::filesystem::equivalent(file, options.session, error)) {
    throw std::runtime_error("cannot record into " + pluginsdk::QuoteText(host::PathText(file)) +
                             ": it is the session being replayed");
  }
  const std::string played = options.window            ? "played in the live window"
                             : options.replay.realTime ? "replayed in real time"
                                                       : "replayed in virtual time";
  const std::string from = options.session.empty()
                               ? "from free play with no session, "
                               : "from " + host::ScriptName(options.session) + ", ";
  auto recorder = std::make_unique<host::SessionRecorder>(
      file,
      std::vector<std::string>{from + played,
                               "Replay it to check it: quillon-host " + host::PathText(file)},
      std::cerr);
  recorder->RecordSettings(host, 0);
  return recorder;
}

// The exit status after a session: expectations that failed, a stop by a signal or a recording
// that could not be written are no success, and a replay that could not check all it played is
// not one either.
int Outcome(const pluginsdk::Host& host, const host::Expectations& checked,
            const std::optional<std::string>& hint, bool finished,
            const host::SessionRecorder* recorder) {
  host::ReportEnd(host, std::cerr, checked, hint);
  if (!finished) {
    const std::lock_guard lock(host.OutputLock());
    std::cerr << "quillon-host: interrupted\n";
    return kExitInterrupted;
  }
  if (checked.failed > 0 || (recorder != nullptr && recorder->Failed())) return kExitFailure;
  return checked.incomplete ? kExitIncomplete : 0;
}

// Loads the plugin, plays the session and unloads the plugin; the exit status.
int Play(const Options& options, pluginsdk::Host& host) {
  try {
    host::LoadedPlugin plugin(host, options.plugin);
    host::Script script;
    const auto& steps = script.steps;
    try {
      if (!options.session.empty()) {
        script =
            host::LoadScript(options.session, host::RegistryCheck(host), host::KnownCommands(host));
      }
    } catch (const host::ScriptError& error) {
      std::cerr << error.what() << '\n';
      return kExitUsage;
    }
    std::unique_ptr<host::SessionRecorder> recorder;
    host::ReplayOptions replay = options.replay;
    if (options.record) {
      recorder = StartRecording(options, host);
      replay.recorder = recorder.get();
    }
#if defined(QUILLON_LIVE_WINDOW)
    if (options.window) {
      const auto checked = host::RunLiveWindow(host, plugin, steps, host::PathText(options.session),
                                               std::cout, replay, options.closeAtEnd);
      if (recorder) recorder->Flush();
      return Outcome(host, checked, std::nullopt, true, recorder.get());
    }
#endif
    // A recording is completed when a signal stops the replay; otherwise a signal ends the
    // program as it always does.
    std::optional<host::StopOnSignals> stopOnSignals;
    if (recorder) stopOnSignals.emplace();
    host::SessionRunner runner(host, plugin, std::cout, replay);
    const std::string source = host::ScriptName(options.session);
    const bool finished = runner.Run(steps, source);
    if (finished && script.cutShort) runner.ReportCutShort(*script.cutShort, source);
    if (recorder) recorder->Flush();
    return Outcome(host, runner.Checked(), finished ? runner.Hint() : std::nullopt, finished,
                   recorder.get());
  } catch (const host::ScriptError& error) {
    // A step that could not be carried out is named as a fault in the script is.
    std::cerr << error.what() << '\n';
    return kExitFailure;
  } catch (const std::exception& error) {
    std::cerr << "quillon-host: " << error.what() << '\n';
    return kExitFailure;
  }
}

int Main(const std::vector<Argument>& arguments) {
#if !defined(_WIN32)
  // A file grown past the size limit (ulimit -f) then fails to write, which the host reports,
  // instead of ending the program on the spot.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const bool update = std::any_of(arguments.begin(), arguments.end(),
                                  [](const Argument& a) { return a.text == kUpdateOption; });
  const bool help = std::any_of(arguments.begin(), arguments.end(), [](const Argument& a) {
    return a.text == "--help" || a.text == "-h";
  });
  if (update && !help) return UpdateExpectations(arguments);
  bool helpShown = false;
  const auto options = ParseOptions(arguments, helpShown);
  if (!options) {
    if (helpShown) return 0;
    std::cerr << "Try 'quillon-host --help'.\n";
    return kExitUsage;
  }
  // A session played as it happens is followed live through a pipe or a log file: every line
  // goes out as soon as it is written. An instant replay keeps the buffer, for speed.
  if (options->replay.realTime || options->window) std::cout << std::unitbuf;

  if (options->describe) {
    try {
      std::cout << host::DescribeModule(host::DynamicLibrary(options->plugin), options->plugin);
    } catch (const std::exception& error) {
      std::cerr << "quillon-host: " << error.what() << '\n';
      return kExitFailure;
    }
    return 0;
  }

  pluginsdk::Host host;
  // One write a line: the host's lines and a console line from another thread never mix.
  host.SetConsoleOutput(
      [](std::string_view line) { std::cout << "console: " + std::string(line) + '\n'; });
  host.SetFailureOutput(
      [](std::string_view line) { std::cerr << "quillon-host: " + std::string(line) + '\n'; });
  if (options->data && !UseDataFolder(host, *options->data)) return kExitFailure;
  const int status = Play(*options, host);
  // The plugin is unloaded and its recordings complete: those in a temporary folder go now.
  if (const auto going = host::RecordingsThatGo(host)) {
    const std::lock_guard lock(host.OutputLock());
    std::cerr << *going;
  }
  // The plugin is unloaded by now, and its settings saved or not: a failure there counts too.
  return status == 0 && !host.Failures().empty() ? kExitFailure : status;
}

// The program with the command line as the system hands it over.
template <typename Char>
int Start(int argc, Char** argv) {
  std::vector<Argument> arguments;
  try {
    arguments = Arguments(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "quillon-host: " << error.what() << '\n';
    return kExitUsage;
  }
  return Main(arguments);
}

}  // namespace

#if defined(_WIN32)
// Linked with -municode: the command line arrives as wide characters.
int wmain(int argc, wchar_t** argv) {
  return Start(argc, argv);
}
#else
int main(int argc, char** argv) {
  return Start(argc, argv);
}
#endif
