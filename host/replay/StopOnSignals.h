#pragma once
#include <csignal>

namespace host {

// SIGINT and SIGTERM close the window the way its close button does, and stop a replay between
// two steps, so the plugin is unloaded (and a recording completed) as at the end of a replay;
// the previous handlers come back afterwards. A system call the signal interrupts (a write to a
// full pipe) goes on afterwards, so output is never lost to it.
class StopOnSignals {
 public:
  StopOnSignals();
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  // Whether a signal came since the latest StopOnSignals was made; false when none is.
  static bool Requested();
  // The signal that came, as "SIGINT" or "SIGTERM"; empty when none did.
  static const char* Name();

 private:
#if defined(_WIN32)
  // Windows has no sigaction; its C runtime calls a signal() handler for Ctrl+C.
  void (*previousInterrupt_)(int) = nullptr;
  void (*previousTerminate_)(int) = nullptr;
#else
  struct sigaction previousInterrupt_ {};
  struct sigaction previousTerminate_ {};
#endif
};

}  // namespace host
