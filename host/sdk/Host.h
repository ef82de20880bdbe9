#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CVarManagerWrapper.h"
#include "Canvas.h"
#include "ConsoleVariable.h"
#include "GameWorld.h"
#include "GameWrapper.h"
#include "HostClock.h"
#include "SdkExport.h"

namespace pluginsdk {

class Host;

// What ties one loaded plugin to the host: its identity and the two host objects it is handed.
class PLUGINSDK_API PluginConnection {
 public:
  PluginConnection(Host& host, PluginId id);

  Host& host;
  const PluginId id;
  const std::shared_ptr<GameWrapper> game;
  const std::shared_ptr<CVarManagerWrapper> cvars;
};

// The host's whole state: clock, variables, game world, and what plugins have registered.
// One host is current at a time; the SDK functions a plugin calls act on it. All work happens on
// one thread, one callable at a time, in the order documented on each operation.
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
  const std::vector<std::shared_ptr<ConsoleVariable>>& Variables() const { return variables_; }

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
  std::size_t PendingDeferred() const { return deferred_.size(); }

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

  PluginConnection* FindConnection(PluginId plugin) const;

  HostClock clock_;
  GameWorld world_;
  std::size_t customTrainingQuestions_ = 0;
  PluginId nextPluginId_ = 1;
  std::vector<PluginConnection*> connections_;
  std::vector<std::shared_ptr<ConsoleVariable>> variables_;
  std::map<std::string, std::vector<Registration<std::function<void(std::string)>>>, std::less<>>
      hooks_;
  std::vector<Timeout> timeouts_;
  std::uint64_t nextTimeoutSequence_ = 0;
  std::vector<Registration<std::function<void(GameWrapper*)>>> deferred_;
  std::vector<Registration<std::function<void(CanvasWrapper)>>> drawables_;
};

}  // namespace pluginsdk
