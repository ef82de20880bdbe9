// Off Windows the performance counter reads the current host's clock. A module may be made and
// deleted with no host running (a program that only loads it); the real counter never fails, so
// then it reads the platform's steady clock, in the same ticks.
#include "PerformanceCounter.h"

#include "Host.h"

extern "C" {

int QueryPerformanceCounter(LARGE_INTEGER* count) {
  pluginsdk::Host* host = pluginsdk::Host::Running();
  count->QuadPart = host != nullptr ? host->Clock().Counter() : pluginsdk::PlatformTicks();
  return 1;
}

int QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = pluginsdk::HostClock::kTicksPerSecond;
  return 1;
}
}
