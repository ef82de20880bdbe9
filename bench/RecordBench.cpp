// What recording costs: the steps of a 10^6-step replay (jump, landed, dodge and frame,
// repeated; the script read beforehand, untimed), alone and written as they run to a recording
// with an expect after every frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "BenchPlugin.h"
#include "SessionRecorder.h"
#include "SessionRunner.h"
#include "SessionScript.h"

namespace {

constexpr int kRounds = 250'000;  // four steps each

std::string MillionSteps() {
  std::ostringstream script;
  script << "0 mode freeplay\n0 event init\n3 set quillon_enabled 1\n";
  for (int i = 0; i < kRounds; ++i) {
    const std::string time = std::to_string(3 + i / 100) + "." + std::to_string(10 + i % 100 / 10) +
                             std::to_string(i % 10);
    script << time << " event jump\n"
           << time << " event landed\n"
           << time << " event dodge\n"
           << time << " frame\n";
  }
  return script.str();
}

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void MillionStepReplay(benchmark::State& state, bool recorded) {
  const std::string script = MillionSteps();
  const auto file = std::filesystem::temp_directory_path() / "quillon-bench-recording.session";
  for (auto _ : state) {
    state.PauseTiming();
    std::optional<bench::BenchPlugin> b(std::in_place);
    NullBuffer discard;
    std::ostream out(&discard);
    std::optional<host::SessionRecorder> recorder;
    if (recorded) recorder.emplace(file, std::vector<std::string>{"benchmark"}, std::cerr);
    host::SessionRunner runner(b->host, b->loaded, out,
                               {.recorder = recorder ? &*recorder : nullptr});
    const auto steps = host::ParseSession(script, "million.session", host::RegistryCheck(b->host));
    state.ResumeTiming();
    runner.Run(steps, "million.session");
    recorder.reset();  // the last write is part of the cost
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
  }

  state.counters["steps"] = 3 + 4.0 * kRounds;
}

void BM_Replay_MillionSteps(benchmark::State& state) {
  MillionStepReplay(state, false);
}
void BM_Replay_MillionStepsRecorded(benchmark::State& state) {
  MillionStepReplay(state, true);
}
BENCHMARK(BM_Replay_MillionSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replay_MillionStepsRecorded)->Unit(benchmark::kMillisecond);

}  // namespace
