// A whole hour of practice replayed in the host: 120 frames a second and a player's events.
#include <benchmark/benchmark.h>

#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "BenchPlugin.h"
#include "SessionRunner.h"
#include "SessionScript.h"

namespace {

constexpr int kSeconds = 3600;
constexpr int kFramesPerSecond = 120;

// One hour as a session script: every 2.4 s a chain of two air resets 1.2 s apart with dodges
// after them, then the ball coming down and a landing on the floor; once a minute a short pause
// between the two resets.
std::string OneHourSession() {
  constexpr int kFramesPerChain = kFramesPerSecond * 12 / 5;
  constexpr int kFramesPerMinute = kFramesPerSecond * 60;
  constexpr int kPauseFrame = kFramesPerChain * 10 + 60;
  struct Moment {
    int frame;  // into the chain
    const char* steps;
  };
  static constexpr Moment kChain[] = {
      {0, "event jump"},
      {36, "ball 0 0 900|car 0 0 400|event landed|event dodge"},
      {180, "ball 0 0 1300|car 0 0 700|event landed|event dodge"},
      {240, "ball 0 0 93.15|event ballground|car 0 0 17|event landed"},
  };
  std::ostringstream script;
  script << "0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n";
  for (int frame = kFramesPerSecond * 4; frame < kSeconds * kFramesPerSecond; ++frame) {
    const double time = static_cast<double>(frame) / kFramesPerSecond;
    for (const Moment& moment : kChain) {
      if (frame % kFramesPerChain != moment.frame) continue;
      std::istringstream steps(moment.steps);
      for (std::string step; std::getline(steps, step, '|');) script << time << ' ' << step << '\n';
    }
    if (frame % kFramesPerMinute == kPauseFrame) script << time << " event pause\n";
    if (frame % kFramesPerMinute == kPauseFrame + 48) script << time << " event unpause\n";
    script << time << " frame\n";
  }
  return script.str();
}

// Throws away what the replay prints, as a terminal redirected to /dev/null would.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_Replay_OneHourOfPractice(benchmark::State& state) {
  const std::string script = OneHourSession();
  for (auto _ : state) {
    bench::BenchPlugin b;
    NullBuffer discard;
    std::ostream out(&discard);
    const auto steps = host::ParseSession(script, "hour.session", host::RegistryCheck(b.host));
    host::SessionRunner runner(b.host, b.loaded, out, {});
    runner.Run(steps, "hour.session");
  }
  state.counters["x_real_time"] = benchmark::Counter(
      kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Replay_OneHourOfPractice)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
