#pragma once
#include <csignal>

namespace host {

// SIGINT and SIGTERM close the window the way its close button does, so the plugin is unloaded
// as at the end of a replay; the previous handlers come back afterwards.
class StopOnSignals {
 public:
  StopOnSignals();
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  bool Requested() const;

 private:
  struct sigaction previousInterrupt_ {};
  struct sigaction previousTerminate_ {};
};

}  // namespace host
