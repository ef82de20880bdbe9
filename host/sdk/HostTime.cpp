// The host's clock is virtual unless a session follows the platform's clock.
#include "HostTime.h"

#include "Host.h"

extern "C" bool HostTimeIsVirtual() {
  pluginsdk::Host* host = pluginsdk::Host::Running();
  return host != nullptr && !host->Clock().RealTime();
}
