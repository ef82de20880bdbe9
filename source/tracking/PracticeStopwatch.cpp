#include "PracticeStopwatch.h"

#include "SteadyClock.h"

namespace quillon {
namespace {

constexpr std::int64_t kNanosecondsPerMillisecond = 1'000'000;

double WholeMilliseconds(std::int64_t from, std::int64_t to) {
  return static_cast<double>((to - from) / kNanosecondsPerMillisecond);
}

}  // namespace

PracticeStopwatch::~PracticeStopwatch() {
  StopAndClear();
}

void PracticeStopwatch::Start() {
  if (running) return;
  stoppedForPause = false;
  startStamp = SteadyNowNanoseconds();
  stamps.push_back(startStamp);
  running = true;
}

void PracticeStopwatch::Stop() {
  if (!running) return;
  running = false;
  stopStamp = SteadyNowNanoseconds();
  stamps.push_back(stopStamp);
}

void PracticeStopwatch::StopAndClear() {
  running = false;
  stoppedForPause = false;
  stopStamp = SteadyNowNanoseconds();
  stamps.clear();
}

void PracticeStopwatch::StopForPause() {
  if (!running) return;
  Stop();
  stoppedForPause = true;
}

void PracticeStopwatch::ResumeAfterPause() {
  if (stoppedForPause) Start();
}

double PracticeStopwatch::ElapsedMilliseconds() const {
  double sum = 0.0;
  for (std::size_t i = 1; i < stamps.size(); i += 2)
    sum += WholeMilliseconds(stamps[i - 1], stamps[i]);
  sum += WholeMilliseconds(startStamp, SteadyNowNanoseconds());
  return sum;
}

}  // namespace quillon
