// Off Windows the performance counter reads the current host's clock.
#include "PerformanceCounter.h"

#include "Host.h"

extern "C" {

int QueryPerformanceCounter(LARGE_INTEGER* count) {
  count->QuadPart = pluginsdk::Host::Current().Clock().Counter();
  return 1;
}

int QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = pluginsdk::HostClock::kTicksPerSecond;
  return 1;
}
}
