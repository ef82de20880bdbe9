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
#if defined(QUILLON_LIVE_WINDOW)
#include "LiveWindow.h"
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
    R"(usage: quillon-host [--plugin FILE] [--data DIR] [--trace] [--realtime] SESSION
       quillon-host [--plugin FILE] [--data DIR] [--trace] --window [--close-at-end] [SESSION]
       quillon-host [--plugin FILE] --describe

Loads the plugin module (by default the one beside this program), replays the session script
SESSION (a file, or - for standard input) and unloads the module. The replay runs in virtual
time, exact and instant, unless --realtime is given. On Windows it always runs in real time:
there the plugin reads the system's own performance counter.

Options:
  --plugin FILE   the plugin module to load
  --data DIR      the host's data folder, made if missing and kept: config.cfg (the saved
                  variables) and the plugin's files live there. Without it a fresh temporary
                  folder is used and removed at exit
  --trace         under each frame line, list every canvas call of the frame
  --realtime      replay in real time: the host's clock is the system's monotonic clock, from
                  the start of the replay; each step waits until its time has come, and the
                  plugin's performance counter reads that clock
  --window        (Linux) play in a 1280x720 window, in real time: the overlay on a game-like
                  screen, the settings window used with the mouse, and keys that play the
                  game (the window names them); SESSION, if given, plays in it too, and its
                  frame steps' pictures are the window's own. Without SESSION the game starts
                  in free play. Close the window, press Esc or send SIGINT to end.
  --close-at-end  with --window: close the window once the last step has run
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
  command NAME [WORDS]  run a console command: one the plugin registered, or writeconfig (save
                        the saved variables into config.cfg); quote a word with blanks or '#'
  screen W H            the canvas size of the following frames in pixels, 1 to 8192 (start:
                        1920 1080); frame pictures are that size. In --window it resizes the
                        window, whose canvas always follows its framebuffer

Before each step the clock moves to the step's time (in real time: waits for it), running
every timeout due by then at its own time; after each step the deferred work queued by the
plugin runs. A fault in the script is reported as FILE:LINE: message and nothing runs (exit
status 2); so is a script that cannot be read, as FILE: no such file (is a directory,
permission denied).

Every line the host or the plugin writes to the console is printed on standard output as
"console: TEXT" when it is written, among the step's own output; so is every toast the plugin
shows, as "toast: TITLE: TEXT". Frame pictures and the window draw a toast as a box at the top
right for its seconds.
)";

struct Options {
  std::filesystem::path plugin;
  std::filesystem::path session;
  std::optional<std::filesystem::path> data;
  bool describe = false;
  bool window = false;
  bool closeAtEnd = false;
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
      if (i + 1 == argc) {
        std::cerr << "quillon-host: --plugin needs a FILE\n";
        return std::nullopt;
      }
      plugin = argv[++i];
    } else if (argument == "--data") {
      if (i + 1 == argc) {
        std::cerr << "quillon-host: --data needs a DIR\n";
        return std::nullopt;
      }
      options.data = argv[++i];
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

// Makes the folder if needed and has the host use it; says why not when it cannot.
bool UseDataFolder(pluginsdk::Host& host, const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && !std::filesystem::is_directory(folder, error)) {
    error = std::make_error_code(std::errc::not_a_directory);
  }
  if (error) {
    std::cerr << "quillon-host: cannot use '" << folder.string()
              << "' as the data folder: " << error.message() << '\n';
    return false;
  }
  host.SetDataFolder(folder);
  return true;
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
  host.SetConsoleOutput([](std::string_view line) { std::cout << "console: " << line << '\n'; });
  if (options->data && !UseDataFolder(host, *options->data)) return kExitFailure;
  try {
    host::LoadedPlugin plugin(host, options->plugin);
    std::vector<host::Step> steps;
    try {
      if (!options->session.empty()) {
        steps = host::LoadSession(options->session, host::RegistryCheck(host),
                                  host::KnownCommands(host));
      }
    } catch (const host::ScriptError& error) {
      std::cerr << error.what() << '\n';
      return kExitUsage;
    }
#if defined(QUILLON_LIVE_WINDOW)
    if (options->window) {
      host::RunLiveWindow(host, plugin, steps, options->session.string(), std::cout,
                          options->replay, options->closeAtEnd);
      return 0;
    }
#endif
    host::SessionRunner runner(host, plugin, std::cout, options->replay);
    runner.Run(steps, host::ScriptName(options->session));
  } catch (const std::exception& error) {
    std::cerr << "quillon-host: " << error.what() << '\n';
    return kExitFailure;
  }
  return 0;
}
