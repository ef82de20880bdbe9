// The SDK's wrapper classes, implemented on the current host's state.
#include <cmath>

#include "ActorWrapper.h"
#include "CVarManagerWrapper.h"
#include "CVarWrapper.h"
#include "CanvasWrapper.h"
#include "GameWrapper.h"
#include "Host.h"
#include "ServerWrapper.h"
#include "WrapperFactory.h"

// --- CVarWrapper ---------------------------------------------------------------------------------

CVarWrapper::CVarWrapper(std::shared_ptr<pluginsdk::ConsoleVariable> variable)
    : variable_(std::move(variable)) {}
CVarWrapper::CVarWrapper(const CVarWrapper& other) = default;
CVarWrapper::~CVarWrapper() = default;

std::string CVarWrapper::getCVarName() {
  return variable_->Name();
}
bool CVarWrapper::getBoolValue() {
  return variable_->AsBool();
}
int CVarWrapper::getIntValue() {
  return variable_->AsInt();
}
float CVarWrapper::getFloatValue() {
  return variable_->AsFloat();
}
LinearColor CVarWrapper::getColorValue() {
  return variable_->AsColor();
}
std::string CVarWrapper::getStringValue() {
  return variable_->Text();
}
void CVarWrapper::setValue(int value) {
  variable_->Set(value);
}
void CVarWrapper::setValue(float value) {
  variable_->Set(value);
}
void CVarWrapper::setValue(LinearColor value) {
  variable_->Set(value);
}
void CVarWrapper::bindTo(std::shared_ptr<bool> value) {
  variable_->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<int> value) {
  variable_->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<float> value) {
  variable_->Bind(std::move(value));
}
void CVarWrapper::bindTo(std::shared_ptr<LinearColor> value) {
  variable_->Bind(std::move(value));
}

void CVarWrapper::addOnValueChanged(std::function<void(std::string, CVarWrapper)> changeFunc) {
  pluginsdk::ConsoleVariable::OnChanged(
      variable_, [changeFunc = std::move(changeFunc)](
                     std::string oldText, std::shared_ptr<pluginsdk::ConsoleVariable> variable) {
        changeFunc(std::move(oldText), CVarWrapper(std::move(variable)));
      });
}

void CVarWrapper::removeOnValueChanged() {
  variable_->ClearOnChanged();
}

// --- CVarManagerWrapper --------------------------------------------------------------------------

CVarManagerWrapper::CVarManagerWrapper(pluginsdk::PluginConnection* connection)
    : connection_(connection) {}

CVarWrapper CVarManagerWrapper::registerCvar(std::string name, std::string defaultValue,
                                             std::string description, bool searchAble, bool hasMin,
                                             float min, bool hasMax, float max, bool saveToCfg) {
  return CVarWrapper(connection_->RegisterVariable(std::move(name), std::move(defaultValue),
                                                   std::move(description), searchAble, hasMin, min,
                                                   hasMax, max, saveToCfg));
}

CVarWrapper CVarManagerWrapper::getCvar(std::string name) {
  return CVarWrapper(connection_->host.FindVariable(name));
}

void CVarManagerWrapper::registerNotifier(
    std::string name, std::function<void(std::vector<std::string>)> callback,
    std::string description, unsigned char /*permissions: every caller may run it here*/) {
  connection_->host.RegisterCommand(connection_->id, std::move(name), std::move(callback),
                                    std::move(description));
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
  connection_->ExecuteCommand(command, log);
}

void CVarManagerWrapper::log(std::string text) {
  connection_->host.Log(text);
}

// --- Game objects -------------------------------------------------------------------------------

ActorWrapper::ActorWrapper(std::shared_ptr<pluginsdk::ActorState> actor)
    : actor_(std::move(actor)) {}
ActorWrapper::ActorWrapper(const ActorWrapper& other) = default;
ActorWrapper::~ActorWrapper() = default;
BallWrapper::BallWrapper(const BallWrapper& other) = default;
BallWrapper::~BallWrapper() = default;
CarWrapper::CarWrapper(const CarWrapper& other) = default;
CarWrapper::~CarWrapper() = default;

Vector ActorWrapper::GetLocation() {
  return pluginsdk::LocationOf(actor_.get());
}

ServerWrapper::ServerWrapper(std::shared_ptr<pluginsdk::GameState> state)
    : ActorWrapper(state), state_(std::move(state)) {}
ServerWrapper::ServerWrapper(const ServerWrapper& other) = default;
ServerWrapper::~ServerWrapper() = default;

BallWrapper ServerWrapper::GetBall() {
  return BallWrapper(pluginsdk::BallOf(state_.get()));
}

// --- GameWrapper ---------------------------------------------------------------------------------

GameWrapper::GameWrapper(pluginsdk::PluginConnection* connection) : connection_(connection) {}

bool GameWrapper::IsInGame() {
  return connection_->InGame();
}
bool GameWrapper::IsInFreeplay() {
  return connection_->InFreeplay();
}
bool GameWrapper::IsInCustomTraining() {
  return connection_->InCustomTraining();
}

ServerWrapper GameWrapper::GetCurrentGameState() {
  return ServerWrapper(connection_->CurrentGameState());
}

CarWrapper GameWrapper::GetLocalCar() {
  return CarWrapper(connection_->host.World().localCar);
}

std::filesystem::path GameWrapper::GetDataFolder() {
  return connection_->host.DataFolder();
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
  connection_->host.Hook(connection_->id, std::move(eventName), std::move(callback));
}

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> callback, float seconds) {
  connection_->host.AddTimeout(connection_->id, std::move(callback), seconds);
}

void GameWrapper::Execute(std::function<void(GameWrapper*)> callback) {
  connection_->host.QueueDeferred(connection_->id, std::move(callback));
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback) {
  connection_->host.AddDrawable(connection_->id, std::move(callback));
}

void GameWrapper::UnregisterDrawables() {
  connection_->host.RemoveDrawables(connection_->id);
}

void GameWrapper::Toast(std::string title, std::string text, std::string texture, float seconds,
                        std::uint8_t type, float width, float height) {
  connection_->Toast(std::move(title), std::move(text), std::move(texture), seconds, type, width,
                     height);
}

// --- CanvasWrapper -------------------------------------------------------------------------------

CanvasWrapper::CanvasWrapper(std::shared_ptr<pluginsdk::Canvas> canvas)
    : canvas_(std::move(canvas)) {}
CanvasWrapper::CanvasWrapper(const CanvasWrapper& other) = default;
CanvasWrapper::~CanvasWrapper() = default;

void CanvasWrapper::SetColor(char red, char green, char blue, char alpha) {
  canvas_->SetColor(static_cast<unsigned char>(red), static_cast<unsigned char>(green),
                    static_cast<unsigned char>(blue), static_cast<unsigned char>(alpha));
}

void CanvasWrapper::SetColor(LinearColor color) {
  canvas_->SetColor(color);
}
void CanvasWrapper::SetPosition(Vector2F position) {
  canvas_->SetPosition(position);
}
void CanvasWrapper::SetPosition(Vector2 position) {
  canvas_->SetPosition(Vector2F{static_cast<float>(position.X), static_cast<float>(position.Y)});
}

void CanvasWrapper::DrawString(std::string text, float xScale, float yScale, bool dropShadow,
                               bool wrapText) {
  canvas_->DrawString(text, xScale, yScale, dropShadow, wrapText);
}

Vector2F CanvasWrapper::GetStringSize(std::string text, float xScale, float yScale) {
  return canvas_->GetStringSize(text, xScale, yScale);
}

Vector2 CanvasWrapper::GetSize() {
  return canvas_->Size();
}

// --- The handles the core hands out ------------------------------------------------------------

namespace pluginsdk {

std::shared_ptr<GameWrapper> MakeGameWrapper(PluginConnection& connection) {
  return std::make_shared<GameWrapper>(&connection);
}

std::shared_ptr<CVarManagerWrapper> MakeCVarManagerWrapper(PluginConnection& connection) {
  return std::make_shared<CVarManagerWrapper>(&connection);
}

void Draw(const std::function<void(CanvasWrapper)>& drawable,
          const std::shared_ptr<Canvas>& canvas) {
  drawable(CanvasWrapper(canvas));
}

}  // namespace pluginsdk
