#include "Host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

#include "WrapperFactory.h"

namespace pluginsdk {
namespace {

Host* currentHost = nullptr;

template <typename Container>
void EraseOwnedBy(Container& container, PluginId plugin) {
  std::erase_if(container, [plugin](const auto& entry) { return entry.plugin == plugin; });
}

}  // namespace

PluginConnection::PluginConnection(Host& owner, PluginId pluginId)
    : host(owner),
      id(pluginId),
      game(MakeGameWrapper(*this)),
      cvars(MakeCVarManagerWrapper(*this)) {}

std::shared_ptr<ConsoleVariable> PluginConnection::RegisterVariable(
    std::string name, std::string defaultValue, std::string description, bool searchable,
    bool hasMin, float min, bool hasMax, float max, bool saved) {
  VariableBounds bounds;
  if (hasMin) bounds.min = min;
  if (hasMax) bounds.max = max;
  return host.RegisterVariable(std::move(name), std::move(defaultValue), std::move(description),
                               searchable, bounds, saved, id);
}

void PluginConnection::ExecuteCommand(std::string_view command, bool log) {
  if (!host.ExecuteCommand(command) && log) host.Log("unknown command: " + std::string(command));
}

bool PluginConnection::InGame() const {
  return host.World().mode != GameMode::Menu;
}
bool PluginConnection::InFreeplay() const {
  return host.World().mode == GameMode::Freeplay;
}
bool PluginConnection::InCustomTraining() {
  host.CountCustomTrainingQuestion();
  return host.World().mode == GameMode::Training;
}

std::shared_ptr<GameState> PluginConnection::CurrentGameState() const {
  const auto& world = host.World();
  return world.gameStatePresent ? world.gameState : nullptr;
}

void PluginConnection::Toast(std::string title, std::string text, std::string texture,
                             float seconds, std::uint8_t type, float width, float height) {
  host.Toasts().Show(std::move(title), std::move(text), std::move(texture), seconds, type, width,
                     height, host.Clock().Now());
}

Host::Host() {
  if (currentHost != nullptr) {
    std::fputs("pluginsdk: only one host may exist at a time\n", stderr);
    std::abort();
  }
  currentHost = this;
  RegisterCommand(
      kHostCommands, "writeconfig", [this](std::vector<std::string>) { WriteConfig(); },
      "writes every saved variable into config.cfg in the data folder");
}

Host::~Host() {
  RemoveTemporaryDataFolder();
  currentHost = nullptr;
}

Host& Host::Current() {
  if (currentHost == nullptr) {
    std::fputs("pluginsdk: no host is running\n", stderr);
    std::abort();
  }
  return *currentHost;
}

Host* Host::Running() {
  return currentHost;
}

std::shared_ptr<PluginConnection> Host::Connect() {
  auto* connection = new PluginConnection(*this, nextPluginId_++);
  connections_.push_back(connection);
  return std::shared_ptr<PluginConnection>(connection, [this](PluginConnection* gone) {
    Disconnect(*gone);
    std::erase(connections_, gone);
    delete gone;
  });
}

void Host::Disconnect(const PluginConnection& plugin) {
  for (auto& [name, handlers] : hooks_) EraseOwnedBy(handlers, plugin.id);
  std::erase_if(hooks_, [](const auto& entry) { return entry.second.empty(); });
  EraseOwnedBy(timeouts_, plugin.id);
  EraseOwnedBy(drawables_, plugin.id);
  {
    const std::lock_guard lock(deferredMutex_);
    EraseOwnedBy(deferred_, plugin.id);
  }
  {
    const std::lock_guard lock(commandsMutex_);
    EraseOwnedBy(commands_, plugin.id);
  }
  const std::lock_guard lock(variablesMutex_);
  std::erase_if(variables_, [&](const auto& variable) {
    if (variable->Owner() != plugin.id) return false;
    configured_.erase(variable->Name());
    return true;
  });
}

PluginConnection* Host::FindConnection(PluginId plugin) const {
  const auto found = std::find_if(connections_.begin(), connections_.end(),
                                  [plugin](const auto* c) { return c->id == plugin; });
  return found == connections_.end() ? nullptr : *found;
}

std::shared_ptr<ConsoleVariable> Host::RegisterVariable(std::string name, std::string defaultValue,
                                                        std::string description, bool searchable,
                                                        VariableBounds bounds, bool saved,
                                                        PluginId owner) {
  const std::lock_guard lock(variablesMutex_);
  if (auto existing = FindVariableLocked(name)) return existing;
  variables_.push_back(std::make_shared<ConsoleVariable>(std::move(name), std::move(defaultValue),
                                                         std::move(description), searchable, bounds,
                                                         saved, owner));
  return variables_.back();
}

std::shared_ptr<ConsoleVariable> Host::FindVariable(std::string_view name) const {
  const std::lock_guard lock(variablesMutex_);
  return FindVariableLocked(name);
}

std::vector<std::shared_ptr<ConsoleVariable>> Host::Variables() const {
  const std::lock_guard lock(variablesMutex_);
  return variables_;
}

std::shared_ptr<ConsoleVariable> Host::FindVariableLocked(std::string_view name) const {
  const auto found =
      std::find_if(variables_.begin(), variables_.end(),
                   [name](const auto& variable) { return variable->Name() == name; });
  return found == variables_.end() ? nullptr : *found;
}

bool Host::RemoveVariable(std::string_view name) {
  const std::lock_guard lock(variablesMutex_);
  if (const auto found = configured_.find(name); found != configured_.end()) {
    configured_.erase(found);
  }
  return std::erase_if(variables_,
                       [name](const auto& variable) { return variable->Name() == name; }) != 0;
}

void Host::Hook(PluginId plugin, std::string eventName, std::function<void(std::string)> callback) {
  hooks_[std::move(eventName)].push_back({plugin, std::move(callback)});
}

void Host::FireEvent(std::string_view eventName) {
  const auto found = hooks_.find(eventName);
  if (found == hooks_.end()) return;
  // By index: a handler may hook more handlers on this very function while it runs.
  auto& handlers = found->second;
  for (std::size_t i = 0; i < handlers.size(); ++i) {
    handlers[i].callback(found->first);
  }
}

std::size_t Host::HookCount() const {
  std::size_t count = 0;
  for (const auto& [name, handlers] : hooks_) count += handlers.size();
  return count;
}

void Host::AddTimeout(PluginId plugin, std::function<void(GameWrapper*)> callback, float seconds) {
  // A negative, NaN or endless delay has no sensible meaning: run at once, or never.
  std::int64_t delay = 0;
  if (std::isinf(seconds) && seconds > 0) return;
  if (seconds > 0) {
    delay = static_cast<std::int64_t>(
        std::llround(static_cast<double>(seconds) * HostClock::kTicksPerSecond));
  }
  timeouts_.push_back({clock_.Now() + delay, nextTimeoutSequence_++, plugin, std::move(callback)});
}

void Host::AdvanceTo(std::int64_t ticks) {
  for (;;) {
    const auto next = std::min_element(timeouts_.begin(), timeouts_.end(), [](auto& a, auto& b) {
      return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
    });
    if (next == timeouts_.end() || next->due > ticks) break;
    Timeout due = std::move(*next);
    timeouts_.erase(next);
    clock_.AdvanceTo(due.due);
    // In real time it runs a little late, but at its due time as a replay runs it.
    const ClockHold hold(clock_, due.due);
    if (auto* connection = FindConnection(due.plugin)) due.callback(connection->game.get());
  }
  clock_.AdvanceTo(ticks);
}

void Host::QueueDeferred(PluginId plugin, std::function<void(GameWrapper*)> callback) {
  const std::lock_guard lock(deferredMutex_);
  deferred_.push_back({plugin, std::move(callback)});
}

std::vector<std::function<void(GameWrapper*)>> Host::TakeDeferred() {
  std::vector<std::function<void(GameWrapper*)>> taken;
  const std::lock_guard lock(deferredMutex_);
  for (auto& work : deferred_) taken.push_back(std::move(work.callback));
  deferred_.clear();
  return taken;
}

std::size_t Host::PendingDeferred() const {
  const std::lock_guard lock(deferredMutex_);
  return deferred_.size();
}

void Host::RunDeferred() {
  for (;;) {
    Registration<std::function<void(GameWrapper*)>> work;
    {
      const std::lock_guard lock(deferredMutex_);
      if (deferred_.empty()) return;
      work = std::move(deferred_.front());
      deferred_.erase(deferred_.begin());
    }
    if (auto* connection = FindConnection(work.plugin)) work.callback(connection->game.get());
  }
}

void Host::RegisterCommand(PluginId plugin, std::string name, CommandCallback callback,
                           std::string description) {
  const std::lock_guard lock(commandsMutex_);
  if (std::any_of(commands_.begin(), commands_.end(),
                  [&name](const Command& command) { return command.name == name; })) {
    return;
  }
  commands_.push_back({plugin, std::move(name), std::move(description), std::move(callback)});
}

bool Host::HasCommand(std::string_view name) const {
  const std::lock_guard lock(commandsMutex_);
  return std::any_of(commands_.begin(), commands_.end(),
                     [name](const Command& command) { return command.name == name; });
}

std::vector<std::string> Host::CommandNames() const {
  const std::lock_guard lock(commandsMutex_);
  std::vector<std::string> names;
  for (const auto& command : commands_) names.push_back(command.name);
  return names;
}

namespace {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      const std::size_t end = line.find('"', i + 1);
      word =
          line.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
      i = end == std::string_view::npos ? line.size() : end + 1;
    } else {
      const std::size_t end = line.find_first_of(" \t", i);
      word = line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
      i = end == std::string_view::npos ? line.size() : end;
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

bool Host::ExecuteCommand(std::string_view commandLine) {
  auto words = SplitCommandLine(commandLine);
  if (words.empty()) return false;
  CommandCallback callback;
  {
    const std::lock_guard lock(commandsMutex_);
    const auto found = std::find_if(commands_.begin(), commands_.end(),
                                    [&words](const Command& c) { return c.name == words.front(); });
    if (found == commands_.end()) return false;
    // A copy, run without the lock: the command may register or drop commands while it runs.
    callback = found->callback;
  }
  callback(std::move(words));
  return true;
}

void Host::Log(std::string_view line) {
  const std::lock_guard output(outputMutex_);
  {
    const std::lock_guard lock(consoleMutex_);
    consoleLines_.emplace_back(line);
  }
  if (consoleOutput_) consoleOutput_(line);
}

std::vector<std::string> Host::ConsoleLines() const {
  const std::lock_guard lock(consoleMutex_);
  return consoleLines_;
}

void Host::SetConsoleOutput(std::function<void(std::string_view)> output) {
  const std::lock_guard lock(outputMutex_);
  consoleOutput_ = std::move(output);
}

void Host::ReportFailure(std::string_view line) {
  const std::lock_guard lock(failuresMutex_);
  failures_.emplace_back(line);
  if (failureOutput_) failureOutput_(line);
}

std::vector<std::string> Host::Failures() const {
  const std::lock_guard lock(failuresMutex_);
  return failures_;
}

void Host::SetFailureOutput(std::function<void(std::string_view)> output) {
  const std::lock_guard lock(failuresMutex_);
  failureOutput_ = std::move(output);
}

const std::filesystem::path& Host::DataFolder() {
  // Every reader asks again (the plugin, the config file at load and at unload): say it once.
  if (!dataFolder_.empty() || noTemporaryFolder_) return dataFolder_;
  std::error_code error;
  const auto base = std::filesystem::temp_directory_path(error);
  std::random_device random;
  for (int attempt = 0; !error && attempt < 100; ++attempt) {
    auto candidate = base / ("quillon-host-" + std::to_string(random()));
    // create_directory is false when the folder exists: someone else's, so try another name.
    if (std::filesystem::create_directory(candidate, error)) {
      dataFolder_ = std::move(candidate);
      dataFolderIsTemporary_ = true;
      return dataFolder_;
    }
  }
  noTemporaryFolder_ = true;
  ReportFailure("host: cannot make a temporary data folder" +
                (error ? ": " + error.message() : std::string()) +
                "; saved settings are neither applied nor saved");
  return dataFolder_;
}

void Host::SetDataFolder(std::filesystem::path folder) {
  RemoveTemporaryDataFolder();
  noTemporaryFolder_ = false;
  dataFolder_ = std::move(folder);
}

void Host::RemoveTemporaryDataFolder() {
  if (!dataFolderIsTemporary_) return;
  std::error_code ignored;
  std::filesystem::remove_all(dataFolder_, ignored);
  dataFolder_.clear();
  dataFolderIsTemporary_ = false;
}

void Host::AddDrawable(PluginId plugin, std::function<void(CanvasWrapper)> callback) {
  drawables_.push_back({plugin, std::move(callback)});
}

void Host::RemoveDrawables(PluginId plugin) {
  EraseOwnedBy(drawables_, plugin);
}

void Host::DrawFrame(const std::shared_ptr<Canvas>& canvas) {
  for (std::size_t i = 0; i < drawables_.size(); ++i) Draw(drawables_[i].callback, canvas);
}

}  // namespace pluginsdk
