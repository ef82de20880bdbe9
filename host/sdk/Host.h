#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "ConsoleVariable.h"
#include "GameWorld.h"
#include "HostClock.h"
#include "SdkExport.h"
#include "ToastBoard.h"

// Named only: see WrapperFactory.h.
class CVarManagerWrapper;
class CanvasWrapper;
class GameWrapper;

namespace pluginsdk {

class Host;

// What ties one loaded plugin to the host: its identity and the two host objects it is handed.
class PLUGINSDK_API PluginConnection {
 public:
  PluginConnection(Host& host, PluginId id);

  // What the SDK's handles decide for the plugin beyond passing a call on, in one place for the
  // stand-in SDK's handles and the host's own SDK's (see WrapperFactory.h).
  std::shared_ptr<ConsoleVariable> RegisterVariable(std::string name, std::string defaultValue,
                                                    std::string description, bool searchable,
                                                    bool hasMin, float min, bool hasMax, float max,
                                                    bool saved);
  // Like the game's console, an unknown command is reported on the console, not to the caller.
  void ExecuteCommand(std::string_view command, bool log);
  bool InGame() const;
  bool InFreeplay() const;
  bool InCustomTraining();
  // Null when the game has no game state now.
  std::shared_ptr<GameState> CurrentGameState() const;
  void Toast(std::string title, std::string text, std::string texture, float seconds,
             std::uint8_t type, float width, float height);

  Host& host;
  const PluginId id;
  const std::shared_ptr<GameWrapper> game;
  const std::shared_ptr<CVarManagerWrapper> cvars;
};

// The host's whole state: clock, variables, game world, and what plugins have registered.
// One host is current at a time; the SDK functions a plugin calls act on it. Game work (hooks,
// timeouts, deferred work, drawables) happens on one thread, the game thread, one callable at a
// time, in the order documented on each operation. As in the real host, the variable registry,
// deferred work (Execute), console commands and console output may also be used from any other
// thread, such as the one that draws settings pages.
class PLUGINSDK_API Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The host the SDK functions act on.
  static Host& Current();
  // The running host, or null when none is: for the few SDK functions that have an answer
  // without one.
  static Host* Running();

  HostClock& Clock() { return clock_; }
  GameWorld& World() { return world_; }
  // The notifications plugins show over the game.
  ToastBoard& Toasts() { return toasts_; }
  // How often plugins have asked IsInCustomTraining, so tests can check it is asked only when the
  // earlier questions leave it open.
  std::size_t CustomTrainingQuestions() const { return customTrainingQuestions_; }
  void CountCustomTrainingQuestion() { ++customTrainingQuestions_; }

  std::shared_ptr<PluginConnection> Connect();
  // Forgets everything the plugin registered: hooks, timeouts, deferred work, drawables and its
  // variables (a fresh load registers them anew, as the game's own console does after a reload).
  void Disconnect(const PluginConnection& plugin);

  // --- Variables -------------------------------------------------------------------------------
  // Registering a name that exists keeps the first variable and returns it.
  std::shared_ptr<ConsoleVariable> RegisterVariable(std::string name, std::string defaultValue,
                                                    std::string description, bool searchable,
                                                    VariableBounds bounds, bool saved,
                                                    PluginId owner);
  // Null when no variable has that name.
  std::shared_ptr<ConsoleVariable> FindVariable(std::string_view name) const;
  // Forgets the variable, as a console that drops it: later look-ups find nothing. Values bound
  // to it stay with whoever holds them. False when no variable has that name.
  bool RemoveVariable(std::string_view name);
  // The variables registered now, in the order they were registered.
  std::vector<std::shared_ptr<ConsoleVariable>> Variables() const;

  // --- Game functions ----------------------------------------------------------------------------
  // Several handlers may hook one game function; they run in the order they were hooked.
  void Hook(PluginId plugin, std::string eventName, std::function<void(std::string)> callback);
  // Runs the game function: calls every handler hooked on it.
  void FireEvent(std::string_view eventName);
  std::size_t HookCount() const;

  // --- Timeouts and deferred work ----------------------------------------------------------------
  void AddTimeout(PluginId plugin, std::function<void(GameWrapper*)> callback, float seconds);
  // Moves the clock to `ticks`, first running every timeout due by then, each at its due time, in
  // order of due time and then of scheduling.
  void AdvanceTo(std::int64_t ticks);
  std::size_t PendingTimeouts() const { return timeouts_.size(); }

  void QueueDeferred(PluginId plugin, std::function<void(GameWrapper*)> callback);
  // Runs queued deferred work in order, including work queued while it runs.
  void RunDeferred();
  std::size_t PendingDeferred() const;
  // Takes the queued deferred work out of the queue, for a caller that runs it when it chooses:
  // as a host may, after the plugin that queued it was let go.
  std::vector<std::function<void(GameWrapper*)>> TakeDeferred();

  // --- Console commands and output
  // ----------------------------------------------------------------
  using CommandCallback = std::function<void(std::vector<std::string>)>;
  // Registering a name that exists keeps the first command. Commands of kHostCommands belong to
  // the host itself and stay for its whole life.
  void RegisterCommand(PluginId plugin, std::string name, CommandCallback callback,
                       std::string description);
  bool HasCommand(std::string_view name) const;
  // The names of the commands registered now, in the order they were registered.
  std::vector<std::string> CommandNames() const;
  // Runs a command line: words split at blanks, a double-quoted word may hold blanks; the first
  // word names the command, which gets all the words. False when no command has that name (an
  // empty line is no command either).
  bool ExecuteCommand(std::string_view commandLine);
  // One line of console output: kept in ConsoleLines() and handed to the output, when one is set,
  // under OutputLock().
  void Log(std::string_view line);
  std::vector<std::string> ConsoleLines() const;
  void SetConsoleOutput(std::function<void(std::string_view)> output);
  // The one lock for everything the host prints: console lines go out under it, from whichever
  // thread logs them, and whoever prints beside them holds it for each whole line, so a console
  // line never lands inside another line.
  std::mutex& OutputLock() const { return outputMutex_; }

  // --- The host's own failures -------------------------------------------------------------------
  // A failure of the host itself (settings it could not save, a file it could not read) is no
  // line of the game's console: it is kept in Failures() and handed to the failure output, when
  // one is set. The host program writes it to standard error and ends with a failure status.
  void ReportFailure(std::string_view line);
  std::vector<std::string> Failures() const;
  void SetFailureOutput(std::function<void(std::string_view)> output);

  // --- Data folder -------------------------------------------------------------------------------
  // Where plugins keep their files. Unless SetDataFolder chose one, a fresh temporary folder made
  // on first use and removed with the host, so runs and tests leave nothing behind. Empty (with
  // one failure saying why, however often it or the config file is asked for) when no folder
  // could be made.
  const std::filesystem::path& DataFolder();
  // Whether DataFolder() is a temporary folder the host made, which goes with the host.
  bool DataFolderIsTemporary() const { return dataFolderIsTemporary_; }
  // Uses the given folder, which the host neither makes nor removes.
  void SetDataFolder(std::filesystem::path folder);

  // --- Configuration file --------------------------------------------------------------------
  // Every variable registered as saved is kept in DataFolder()/config.cfg (see ConfigText.h).
  // A value the variable refuses gives one console line, as the game's console gives it; a file
  // that cannot be read or written is a failure of the host (ReportFailure). The host goes on.
  std::filesystem::path ConfigFile();
  // Sets the plugin's saved variables from the file, as the console would; where a name has
  // several lines the last counts.
  void ApplyConfig(PluginId plugin);
  // Writes the value of every saved variable ApplyConfig has set from the file, keeping every
  // other line as it is: a new file renamed over the old, so a crash never leaves half a file. The
  // console command `writeconfig` does this. A file that exists but cannot be read is left alone.
  void WriteConfig();

  // --- Drawing -----------------------------------------------------------------------------------
  void AddDrawable(PluginId plugin, std::function<void(CanvasWrapper)> callback);
  void RemoveDrawables(PluginId plugin);
  std::size_t DrawableCount() const { return drawables_.size(); }
  // Calls every drawable once with the canvas.
  void DrawFrame(const std::shared_ptr<Canvas>& canvas);

 private:
  template <typename Callback>
  struct Registration {
    PluginId plugin;
    Callback callback;
  };
  struct Timeout {
    std::int64_t due;
    std::uint64_t sequence;
    PluginId plugin;
    std::function<void(GameWrapper*)> callback;
  };

  struct Command {
    PluginId plugin;
    std::string name;
    std::string description;
    CommandCallback callback;
  };

  PluginConnection* FindConnection(PluginId plugin) const;
  void RemoveTemporaryDataFolder();

  std::shared_ptr<ConsoleVariable> FindVariableLocked(std::string_view name) const;

  HostClock clock_;
  GameWorld world_;
  ToastBoard toasts_;
  std::size_t customTrainingQuestions_ = 0;
  PluginId nextPluginId_ = 1;
  std::vector<PluginConnection*> connections_;
  // Each lock guards what follows it, up to the next; none is held while a callable runs.
  mutable std::mutex variablesMutex_;
  std::vector<std::shared_ptr<ConsoleVariable>> variables_;
  // Saved variables whose value has been read from the file: only these are written, so a write
  // before a plugin's settings are applied (or of a variable registered after) loses nothing.
  std::set<std::string, std::less<>> configured_;
  std::map<std::string, std::vector<Registration<std::function<void(std::string)>>>, std::less<>>
      hooks_;
  std::vector<Timeout> timeouts_;
  std::uint64_t nextTimeoutSequence_ = 0;
  std::vector<Registration<std::function<void(CanvasWrapper)>>> drawables_;
  mutable std::mutex deferredMutex_;
  std::vector<Registration<std::function<void(GameWrapper*)>>> deferred_;
  mutable std::mutex commandsMutex_;
  std::vector<Command> commands_;
  // Held while a line is handed to the output too: see OutputLock.
  mutable std::mutex outputMutex_;
  std::function<void(std::string_view)> consoleOutput_;
  mutable std::mutex consoleMutex_;
  std::vector<std::string> consoleLines_;
  mutable std::mutex failuresMutex_;
  std::vector<std::string> failures_;
  std::function<void(std::string_view)> failureOutput_;
  // One configuration file write or read at a time, whichever thread runs writeconfig.
  std::mutex configMutex_;
  std::filesystem::path dataFolder_;
  bool dataFolderIsTemporary_ = false;
  bool noTemporaryFolder_ = false;  // making one failed, and was reported
};

}  // namespace pluginsdk
