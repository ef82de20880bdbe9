#pragma once
// Whether the host's time is virtual: it stands still while the game thread waits, so a plugin
// may wait there for its own threads, and a replay comes out the same every run. The game's own
// time never stands still.

#if defined(_WIN32)
inline bool HostTimeIsVirtual() {
  return false;
}
#else
#include "SdkExport.h"

extern "C" PLUGINSDK_API bool HostTimeIsVirtual();
#endif
