#include "StopOnSignals.h"

namespace host {
namespace {

// Set from a signal handler; the frame loop and the replay look at it.
volatile std::sig_atomic_t stopSignal = 0;

void RequestStop(int signal) {
  stopSignal = signal;
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
  stopSignal = 0;
}

#else

StopOnSignals::StopOnSignals() {
  stopSignal = 0;
  struct sigaction action {};
  action.sa_handler = &RequestStop;
  // Without it a write blocked on a full pipe fails with EINTR, and standard output stops for
  // the rest of the run.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInterrupt_);
  sigaction(SIGTERM, &action, &previousTerminate_);
}

StopOnSignals::~StopOnSignals() {
  sigaction(SIGINT, &previousInterrupt_, nullptr);
  sigaction(SIGTERM, &previousTerminate_, nullptr);
  stopSignal = 0;
}

#endif

bool StopOnSignals::Requested() {
  return stopSignal != 0;
}

const char* StopOnSignals::Name() {
  switch (stopSignal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    default:
      return "";
  }
}

}  // namespace host
