#include "BenchPlugin.h"

#include "SessionScript.h"

namespace bench {

BenchPlugin::BenchPlugin(bool recorded) {
  host.FindVariable("quillon_record")->SetText(recorded ? "1" : "0");
  host.World().mode = pluginsdk::GameMode::Freeplay;
  Fire("init");
  host.AdvanceTo(3 * pluginsdk::HostClock::kTicksPerSecond);
  host.FindVariable("quillon_enabled")->SetText("1");
}

void BenchPlugin::Fire(std::string_view shortName) {
  host.FireEvent(*host::GameFunctionFor(shortName));
}

void BenchPlugin::Car(float z) {
  host.World().localCar->location.Z = z;
}
void BenchPlugin::Ball(float z) {
  host.World().gameState->ball->location.Z = z;
}

}  // namespace bench
