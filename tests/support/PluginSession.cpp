#include "PluginSession.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SessionScript.h"

namespace testing_support {
namespace {

// The data folder is chosen before the module loads: it reads its files there at load.
std::unique_ptr<host::LoadedPlugin> LoadPlugin(pluginsdk::Host& host,
                                               const std::filesystem::path& dataFolder) {
  if (!dataFolder.empty()) host.SetDataFolder(dataFolder);
  return std::make_unique<host::LoadedPlugin>(host, PluginPath());
}

}  // namespace

PluginSession::PluginSession(const std::filesystem::path& dataFolder)
    : plugin_(LoadPlugin(host_, dataFolder)),
      canvas_(std::make_shared<host::RecordingCanvas>(font_)) {}

PluginSession::~PluginSession() {
  plugin_.reset();
}

void PluginSession::At(double seconds) {
  host_.AdvanceTo(std::llround(seconds * pluginsdk::HostClock::kTicksPerSecond));
}

void PluginSession::Fire(std::string_view shortName) {
  const auto function = host::GameFunctionFor(shortName);
  ASSERT_TRUE(function.has_value()) << shortName;
  host_.FireEvent(*function);
  host_.RunDeferred();
}

void PluginSession::Ball(float z) {
  host_.World().gameState->ball =
      std::make_shared<pluginsdk::ActorState>(pluginsdk::ActorState{{0.0f, 0.0f, z}});
}

void PluginSession::Car(float z) {
  host_.World().localCar =
      std::make_shared<pluginsdk::ActorState>(pluginsdk::ActorState{{0.0f, 0.0f, z}});
}

void PluginSession::StartFreeplay(double seconds) {
  Mode(pluginsdk::GameMode::Freeplay);
  At(seconds);
  Fire("init");
  At(seconds + 3.0);
}

void PluginSession::Set(const std::string& name, const std::string& value) {
  const auto variable = host_.FindVariable(name);
  ASSERT_NE(variable, nullptr) << name;
  const auto refused = variable->SetText(value);
  ASSERT_FALSE(refused.has_value()) << *refused;
}

std::string PluginSession::Frame() {
  canvas_->Clear();
  host_.DrawFrame(canvas_);
  return host::FrameText(canvas_->Calls());
}

}  // namespace testing_support
