// quillon-host: loads the plugin module as the game's mod host would and replays a practice
// session script against it, printing what a player would see.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "Host.h"
#include "LoadedPlugin.h"
#include "ModuleDescription.h"
#include "QuotedText.h"
#include "SessionRunner.h"
#include "SessionScript.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Windows has no stand-in for the performance counter the plugin reads, so there the host's
// clock must be the real one too.
#if defined(_WIN32)
constexpr bool kAlwaysRealTime = true;
#else
constexpr bool kAlwaysRealTime = false;
#endif

constexpr std::string_view kUsage =
    R"(usage: quillon-host [--plugin FILE] [--trace] [--realtime] SESSION
       quillon-host [--plugin FILE] --describe

Loads the plugin module (by default the one beside this program), replays the session script
SESSION (a file, or - for standard input) and unloads the module. The replay runs in virtual
time, exact and instant, unless --realtime is given. On Windows it always runs in real time:
there the plugin reads the system's own performance counter.

Options:
  --plugin FILE   the plugin module to load
  --trace         under each frame line, list every canvas call of the frame
  --realtime      replay in real time: the host's clock is the system's monotonic clock, from
                  the start of the replay; each step waits until its time has come, and the
                  plugin's performance counter reads that clock
  --describe      print every field of the module's descriptor record ("OFFSET FIELD VALUE")
                  and exit, without making the plugin
  --help          show this text

A session script has one step a line: TIME STEP [ARGS]. TIME is seconds from the start as a
decimal, never decreasing (rounded to 100 ns). '#' starts a comment anywhere outside quotes;
blank lines are allowed.
  mode menu|freeplay|training|match   what the game is in (start: menu)
  event NAME            run a game function: init, destroyed, jump, landed, dodge, ballground,
                        roundstart, explode, pause, unpause, or a game-function name in quotes
  ball X Y Z | ball none        the ball's location, or no ball (start: 0 0 93.15)
  car X Y Z | car none          the local car's location, or none (start: 0 0 17)
  gamestate present|none        whether there is a current game state (start: present)
  set NAME VALUE        set a configuration variable as the console does
  show NAME             print TIME NAME = VALUE
  frame [FILE.png]      draw one frame and print its texts (and write it as an image)
  settings [FILE.png]   draw the settings page and print its text (and write it as an image)
  click "LABEL"         click the settings widget with that label as a mouse does (the page is
                        drawn for it, nothing printed); while a colour picker is open, a click
                        outside it only closes it

Before each step the clock moves to the step's time (in real time: waits for it), running
every timeout due by then at its own time; after each step the deferred work queued by the
plugin runs. A fault in the script is reported as FILE:LINE: message and nothing runs (exit
status 2); so is a script that cannot be read, as FILE: no such file (is a directory,
permission denied).
)";

struct Options {
  std::filesystem::path plugin;
  std::filesystem::path session;
  bool describe = false;
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

// Parses the command line; prints the problem and returns nothing when it is wrong.
std::optional<Options> ParseOptions(int argc, char** argv, bool& helpShown) {
  Options options;
  std::optional<std::filesystem::path> plugin;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
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
    } else if (argument == "--plugin") {
      if (i + 1 == argc) {
        std::cerr << "quillon-host: --plugin needs a FILE\n";
        return std::nullopt;
      }
      plugin = argv[++i];
    } else if (argument.starts_with("-") && argument != "-") {
      std::cerr << "quillon-host: unknown option " << pluginsdk::QuoteText(argument) << '\n';
      return std::nullopt;
    } else if (options.session.empty()) {
      options.session = argument;
    } else {
      std::cerr << "quillon-host: more than one SESSION given\n";
      return std::nullopt;
    }
  }
  if (options.describe && !options.session.empty()) {
    std::cerr << "quillon-host: --describe takes no SESSION\n";
    return std::nullopt;
  }
  if (!options.describe && options.session.empty()) {
    std::cerr << "quillon-host: no SESSION given\n";
    return std::nullopt;
  }
  options.plugin = plugin ? *plugin : DefaultPlugin();
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  bool helpShown = false;
  const auto options = ParseOptions(argc, argv, helpShown);
  if (!options) {
    if (helpShown) return 0;
    std::cerr << "Try 'quillon-host --help'.\n";
    return kExitUsage;
  }

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
  try {
    host::LoadedPlugin plugin(host, options->plugin);
    std::vector<host::Step> steps;
    try {
      steps = host::LoadSession(options->session, host::RegistryCheck(host));
    } catch (const host::ScriptError& error) {
      std::cerr << error.what() << '\n';
      return kExitUsage;
    }
    host::SessionRunner runner(host, plugin, std::cout, options->replay);
    runner.Run(steps, host::ScriptName(options->session));
  } catch (const std::exception& error) {
    std::cerr << "quillon-host: " << error.what() << '\n';
    return kExitFailure;
  }
  return 0;
}
