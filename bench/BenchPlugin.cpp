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

HookMix::HookMix(BenchPlugin& b)
    : b_(b),
      rhythm_{{
          {*host::GameFunctionFor("jump"), 17.0f},
          {*host::GameFunctionFor("landed"), 320.0f},
          {*host::GameFunctionFor("dodge"), 320.0f},
          {*host::GameFunctionFor("landed"), 640.0f},
          {*host::GameFunctionFor("dodge"), 640.0f},
          {*host::GameFunctionFor("pause"), 640.0f},
          {*host::GameFunctionFor("unpause"), 640.0f},
          {*host::GameFunctionFor("landed"), 900.0f},
          {*host::GameFunctionFor("dodge"), 900.0f},
          {*host::GameFunctionFor("ballground"), 300.0f},
          {*host::GameFunctionFor("landed"), 17.0f},
          {*host::GameFunctionFor("jump"), 17.0f},
      }},
      now_(b.host.Clock().Now()) {
  b_.Ball(700.0f);
}

void HookMix::PlayNext() {
  const Event& event = rhythm_[next_];
  next_ = (next_ + 1) % rhythm_.size();
  now_ += kTicksBetweenEvents;
  b_.host.Clock().AdvanceTo(now_);
  b_.Car(event.carZ);
  b_.host.FireEvent(event.function);
}

}  // namespace bench
