#pragma once
// The game's time never stands still: a plugin never waits on the game thread for its threads.
inline bool HostTimeIsVirtual() {
  return false;
}
