// The host's own SDK's handles (its headers, so every decorated name and class layout is the
// SDK's), implemented on the host core as the stand-in SDK's handles are (../Wrappers.cpp), call
// for call. The SDK makes a handle from an address: here that of what the handle holds in the
// core (the plugin's connection, or a shared pointer to a variable, an actor or the canvas, which
// the handle copies: it holds its own reference, as the stand-in's do).
// The core's headers come first: the SDK's headers redefine its export macros for the host.
#include "ConsoleVariable.h"
#include "GameWorld.h"
#include "Host.h"
#include "WrapperFactory.h"

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/wrappers/GameEvent/ServerWrapper.h"
#include "bakkesmod/wrappers/GameObject/BallWrapper.h"
#include "bakkesmod/wrappers/GameObject/CarWrapper.h"
#include "bakkesmod/wrappers/canvaswrapper.h"

#include <typeindex>
#include <typeinfo>

using pluginsdk::ActorState;
using pluginsdk::ConsoleVariable;
using pluginsdk::PluginConnection;

namespace {

template <typename Held>
std::uintptr_t AddressOf(const Held& held) {
  return reinterpret_cast<std::uintptr_t>(&held);
}
template <typename Held>
const Held& HeldAt(std::uintptr_t address) {
  return *reinterpret_cast<const Held*>(address);
}

// The SDK's handles name the plugin's class for the game's own book-keeping, which this host
// does not keep.
const std::type_index kNoPluginClass = typeid(void);

CVarWrapper VariableHandle(const std::shared_ptr<ConsoleVariable>& variable) {
  return CVarWrapper(AddressOf(variable), kNoPluginClass);
}

template <typename Handle>
Handle ActorHandle(const std::shared_ptr<ActorState>& actor) {
  return Handle(AddressOf(actor));
}

}  // namespace

// --- CVarWrapper ---------------------------------------------------------------------------------

struct CVarWrapper::Impl {
  std::shared_ptr<ConsoleVariable> variable;
};

CVarWrapper::CVarWrapper(std::uintptr_t mem, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{HeldAt<std::shared_ptr<ConsoleVariable>>(mem)})) {}
CVarWrapper::CVarWrapper(const CVarWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
CVarWrapper::~CVarWrapper() = default;

bool CVarWrapper::IsNull() {
  return pimpl->variable == nullptr;
}
CVarWrapper::operator bool() {
  return pimpl->variable != nullptr;
}
std::string CVarWrapper::getCVarName() {
  return pimpl->variable->Name();
}
bool CVarWrapper::getBoolValue() {
  return pimpl->variable->AsBool();
}
int CVarWrapper::getIntValue() {
  return pimpl->variable->AsInt();
}
float CVarWrapper::getFloatValue() {
  return pimpl->variable->AsFloat();
}
LinearColor CVarWrapper::getColorValue() {
  return pimpl->variable->AsColor();
}
std::string CVarWrapper::getStringValue() {
  return pimpl->variable->Text();
}
void CVarWrapper::setValue(int value) {
  pimpl->variable->Set(value);
}
void CVarWrapper::setValue(float value) {
  pimpl->variable->Set(value);
}
void CVarWrapper::setValue(LinearColor value) {
  pimpl->variable->Set(value);
}
void CVarWrapper::bindTo(std::shared_ptr<bool> value) {
  pimpl->variable->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<int> value) {
  pimpl->variable->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<float> value) {
  pimpl->variable->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<LinearColor> value) {
  pimpl->variable->Bind(std::move(value));
}

void CVarWrapper::addOnValueChanged(std::function<void(std::string, CVarWrapper)> changeFunc) {
  ConsoleVariable::OnChanged(pimpl->variable,
                             [changeFunc = std::move(changeFunc)](
                                 std::string oldText, std::shared_ptr<ConsoleVariable> variable) {
                               changeFunc(std::move(oldText), VariableHandle(variable));
                             });
}

void CVarWrapper::removeOnValueChanged() {
  pimpl->variable->ClearOnChanged();
}

// --- CVarManagerWrapper --------------------------------------------------------------------------

struct CVarManagerWrapper::Impl {
  PluginConnection* connection;
};

CVarManagerWrapper::CVarManagerWrapper(std::uintptr_t mem, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<PluginConnection*>(mem)})) {}
CVarManagerWrapper::~CVarManagerWrapper() = default;

CVarWrapper CVarManagerWrapper::registerCvar(std::string cvar, std::string defaultValue,
                                             std::string desc, bool searchAble, bool hasMin,
                                             float min, bool hasMax, float max, bool saveToCfg) {
  return VariableHandle(
      pimpl->connection->RegisterVariable(std::move(cvar), std::move(defaultValue), std::move(desc),
                                          searchAble, hasMin, min, hasMax, max, saveToCfg));
}

CVarWrapper CVarManagerWrapper::getCvar(std::string cvar) {
  return VariableHandle(pimpl->connection->host.FindVariable(cvar));
}

void CVarManagerWrapper::registerNotifier(
    std::string cvar, std::function<void(std::vector<std::string>)> notifier,
    std::string description, unsigned char /*permissions: every caller may run it here*/) {
  pimpl->connection->host.RegisterCommand(pimpl->connection->id, std::move(cvar),
                                          std::move(notifier), std::move(description));
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
  pimpl->connection->ExecuteCommand(command, log);
}

void CVarManagerWrapper::log(std::string text) {
  pimpl->connection->host.Log(text);
}

// --- Game objects -------------------------------------------------------------------------------
// Every actor handle holds the actor in ActorWrapper's part; memory_address is the actor's own
// address, as the SDK's handles hold the game object's. The other classes' parts hold nothing.

struct ActorWrapper::Impl {
  std::shared_ptr<ActorState> actor;
};
struct RBActorWrapper::Impl {};
struct BallWrapper::Impl {};
struct VehicleWrapper::Impl {};
struct CarWrapper::Impl {};
struct GameEventWrapper::Impl {};
struct TeamGameEventWrapper::Impl {};
struct ServerWrapper::Impl {};

ObjectWrapper::ObjectWrapper(std::uintptr_t mem) : memory_address(mem) {}

ActorWrapper::ActorWrapper(std::uintptr_t mem)
    : ObjectWrapper(
          reinterpret_cast<std::uintptr_t>(HeldAt<std::shared_ptr<ActorState>>(mem).get())),
      pimpl(std::make_unique<Impl>(Impl{HeldAt<std::shared_ptr<ActorState>>(mem)})) {}
ActorWrapper::ActorWrapper(const ActorWrapper& other)
    : ObjectWrapper(other), pimpl(std::make_unique<Impl>(*other.pimpl)) {}
ActorWrapper::~ActorWrapper() = default;

bool ActorWrapper::IsNull() {
  return memory_address == 0;
}
ActorWrapper::operator bool() {
  return memory_address != 0;
}
Vector ActorWrapper::GetLocation() {
  return pluginsdk::LocationOf(pimpl->actor.get());
}

RBActorWrapper::RBActorWrapper(std::uintptr_t mem) : ActorWrapper(mem) {}
RBActorWrapper::RBActorWrapper(const RBActorWrapper& other) : ActorWrapper(other) {}
RBActorWrapper::~RBActorWrapper() = default;
BallWrapper::BallWrapper(std::uintptr_t mem) : RBActorWrapper(mem) {}
BallWrapper::BallWrapper(const BallWrapper& other) : RBActorWrapper(other) {}
BallWrapper::~BallWrapper() = default;
VehicleWrapper::VehicleWrapper(std::uintptr_t mem) : RBActorWrapper(mem) {}
VehicleWrapper::VehicleWrapper(const VehicleWrapper& other) : RBActorWrapper(other) {}
VehicleWrapper::~VehicleWrapper() = default;
CarWrapper::CarWrapper(std::uintptr_t mem) : VehicleWrapper(mem) {}
CarWrapper::CarWrapper(const CarWrapper& other) : VehicleWrapper(other) {}
CarWrapper::~CarWrapper() = default;
GameEventWrapper::GameEventWrapper(std::uintptr_t mem) : ActorWrapper(mem) {}
GameEventWrapper::GameEventWrapper(const GameEventWrapper& other) : ActorWrapper(other) {}
GameEventWrapper::~GameEventWrapper() = default;
TeamGameEventWrapper::TeamGameEventWrapper(std::uintptr_t mem) : GameEventWrapper(mem) {}
TeamGameEventWrapper::TeamGameEventWrapper(const TeamGameEventWrapper& other)
    : GameEventWrapper(other) {}
TeamGameEventWrapper::~TeamGameEventWrapper() = default;
ServerWrapper::ServerWrapper(std::uintptr_t mem) : TeamGameEventWrapper(mem) {}
ServerWrapper::ServerWrapper(const ServerWrapper& other) : TeamGameEventWrapper(other) {}
ServerWrapper::~ServerWrapper() = default;

// A server handle is only ever made on a game state.
BallWrapper ServerWrapper::GetBall() {
  return ActorHandle<BallWrapper>(pluginsdk::BallOf(static_cast<const pluginsdk::GameState*>(
      reinterpret_cast<const ActorState*>(memory_address))));
}

// --- GameWrapper ---------------------------------------------------------------------------------

struct GameWrapper::Impl {
  PluginConnection* connection;
};

GameWrapper::GameWrapper(std::uintptr_t mem, long, std::type_index)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<PluginConnection*>(mem)})) {}
GameWrapper::~GameWrapper() = default;

bool GameWrapper::IsInGame() {
  return pimpl->connection->InGame();
}
bool GameWrapper::IsInFreeplay() {
  return pimpl->connection->InFreeplay();
}
bool GameWrapper::IsInCustomTraining() {
  return pimpl->connection->InCustomTraining();
}

ServerWrapper GameWrapper::GetCurrentGameState() {
  return ActorHandle<ServerWrapper>(pimpl->connection->CurrentGameState());
}

CarWrapper GameWrapper::GetLocalCar() {
  return ActorHandle<CarWrapper>(pimpl->connection->host.World().localCar);
}

std::filesystem::path GameWrapper::GetDataFolder() {
  return pimpl->connection->host.DataFolder();
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
  pimpl->connection->host.Hook(pimpl->connection->id, std::move(eventName), std::move(callback));
}

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> theLambda, float time) {
  pimpl->connection->host.AddTimeout(pimpl->connection->id, std::move(theLambda), time);
}

void GameWrapper::Execute(std::function<void(GameWrapper*)> theLambda) {
  pimpl->connection->host.QueueDeferred(pimpl->connection->id, std::move(theLambda));
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback) {
  pimpl->connection->host.AddDrawable(pimpl->connection->id, std::move(callback));
}

void GameWrapper::UnregisterDrawables() {
  pimpl->connection->host.RemoveDrawables(pimpl->connection->id);
}

void GameWrapper::Toast(std::string title, std::string text, std::string texture, float timeout,
                        uint8_t toastType, float width, float height) {
  pimpl->connection->Toast(std::move(title), std::move(text), std::move(texture), timeout,
                           toastType, width, height);
}

// --- CanvasWrapper -------------------------------------------------------------------------------

struct CanvasWrapper::Impl {
  std::shared_ptr<pluginsdk::Canvas> canvas;
};

CanvasWrapper::CanvasWrapper(std::uintptr_t mem)
    : pimpl(std::make_unique<Impl>(Impl{HeldAt<std::shared_ptr<pluginsdk::Canvas>>(mem)})) {}
CanvasWrapper::CanvasWrapper(const CanvasWrapper& other)
    : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
CanvasWrapper::~CanvasWrapper() = default;

void CanvasWrapper::SetColor(char Red, char Green, char Blue, char Alpha) {
  pimpl->canvas->SetColor(static_cast<unsigned char>(Red), static_cast<unsigned char>(Green),
                          static_cast<unsigned char>(Blue), static_cast<unsigned char>(Alpha));
}
void CanvasWrapper::SetColor(LinearColor color) {
  pimpl->canvas->SetColor(color);
}
void CanvasWrapper::SetPosition(Vector2F pos) {
  pimpl->canvas->SetPosition(pos);
}
void CanvasWrapper::SetPosition(Vector2 pos) {
  pimpl->canvas->SetPosition(Vector2F{static_cast<float>(pos.X), static_cast<float>(pos.Y)});
}
void CanvasWrapper::DrawString(std::string text, float xScale, float yScale, bool dropShadow,
                               bool wrapText) {
  pimpl->canvas->DrawString(text, xScale, yScale, dropShadow, wrapText);
}
Vector2F CanvasWrapper::GetStringSize(std::string text, float xScale, float yScale) {
  return pimpl->canvas->GetStringSize(text, xScale, yScale);
}
Vector2 CanvasWrapper::GetSize() {
  return pimpl->canvas->Size();
}

// --- The handles the core hands out ------------------------------------------------------------

namespace pluginsdk {

std::shared_ptr<GameWrapper> MakeGameWrapper(PluginConnection& connection) {
  // The plugin's type flags are for the game's scheduling, which this host does not do.
  return std::make_shared<GameWrapper>(AddressOf(connection), 0L, kNoPluginClass);
}

std::shared_ptr<CVarManagerWrapper> MakeCVarManagerWrapper(PluginConnection& connection) {
  return std::make_shared<CVarManagerWrapper>(AddressOf(connection), kNoPluginClass);
}

void Draw(const std::function<void(CanvasWrapper)>& drawable,
          const std::shared_ptr<Canvas>& canvas) {
  drawable(CanvasWrapper(AddressOf(canvas)));
}

}  // namespace pluginsdk
