#include "StopOnSignals.h"

namespace host {
namespace {

// Set from a signal handler; the frame loop and the replay look at it.
volatile std::sig_atomic_t stopSignal = 0;

void RequestStop(int) {
  stopSignal = 1;
}

}  // namespace

#if defined(_WIN32)

StopOnSignals::StopOnSignals() {
  stopSignal = 0;
  previousInterrupt_ = std::signal(SIGINT, &RequestStop);
  previousTerminate_ = std::signal(SIGTERM, &RequestStop);
}

StopOnSignals::~StopOnSignals() {
  std::signal(SIGINT, previousInterrupt_);
  std::signal(SIGTERM, previousTerminate_);
}

#else

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

#endif

bool StopOnSignals::Requested() {
  return stopSignal != 0;
}

}  // namespace host
