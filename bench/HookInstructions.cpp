// Plays a fixed number of game events of a player's mix, plain or recorded, for counting
// instructions with callgrind: scripts/check-budgets.sh divides the count inside the host's
// FireEvent (the host's call and the plugin's handler) by the number of events.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchPlugin.h"

int main(int argc, char** argv) {
  const bool recorded = argc == 3 && std::strcmp(argv[1], "recorded") == 0;
  if (argc != 3 || (!recorded && std::strcmp(argv[1], "plain") != 0)) {
    std::fprintf(stderr, "usage: hook_instructions plain|recorded EVENTS\n");
    return 2;
  }
  bench::BenchPlugin b(recorded);
  bench::HookMix mix(b);
  const long events = std::atol(argv[2]);
  for (long event = 0; event < events; ++event) mix.PlayNext();
  return 0;
}
