#include "StopOnSignals.h"

namespace host {
namespace {

// Set from a signal handler; the frame loop looks at it.
volatile std::sig_atomic_t stopSignal = 0;

void RequestStop(int) {
  stopSignal = 1;
}

}  // namespace

StopOnSignals::StopOnSignals() {
  stopSignal = 0;
  struct sigaction action {};
  action.sa_handler = &RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInterrupt_);
  sigaction(SIGTERM, &action, &previousTerminate_);
}

StopOnSignals::~StopOnSignals() {
  sigaction(SIGINT, &previousInterrupt_, nullptr);
  sigaction(SIGTERM, &previousTerminate_, nullptr);
}

bool StopOnSignals::Requested() const {
  return stopSignal != 0;
}

}  // namespace host
