// What the hook handlers cost per game event, next to the host calls a counted landing must make.
#include <benchmark/benchmark.h>

#include <string_view>

#include "BenchPlugin.h"
#include "PerformanceCounter.h"
#include "SessionScript.h"

namespace {

std::string_view Function(std::string_view shortName) {
  return *host::GameFunctionFor(shortName);
}

// A chain in progress: jumped, ball and car in the air.
void OpenChain(bench::BenchPlugin& b) {
  b.Fire("jump");
  b.Ball(800.0f);
  b.Car(300.0f);
}

void BM_Hook_CountedLanding(benchmark::State& state) {
  bench::BenchPlugin b;
  OpenChain(b);
  const auto landed = Function("landed");
  std::int64_t now = b.host.Clock().Now();
  for (auto _ : state) {
    now += bench::HookMix::kTicksBetweenEvents;
    b.host.Clock().AdvanceTo(now);
    b.plugin.awaitingDodge = false;  // as a dodge would, without measuring one
    b.host.FireEvent(landed);
  }
}
BENCHMARK(BM_Hook_CountedLanding);

void BM_Hook_UncountedLanding(benchmark::State& state) {
  bench::BenchPlugin b;
  OpenChain(b);
  b.Car(17.0f);
  const auto landed = Function("landed");
  for (auto _ : state) b.host.FireEvent(landed);
}
BENCHMARK(BM_Hook_UncountedLanding);

void BM_Hook_Jump(benchmark::State& state) {
  bench::BenchPlugin b;
  const auto jump = Function("jump");
  for (auto _ : state) {
    b.plugin.chainEnded = true;  // every jump starts a new chain
    b.host.FireEvent(jump);
  }
}
BENCHMARK(BM_Hook_Jump);

void BM_Hook_Dodge(benchmark::State& state) {
  bench::BenchPlugin b;
  const auto dodge = Function("dodge");
  for (auto _ : state) b.host.FireEvent(dodge);
}
BENCHMARK(BM_Hook_Dodge);

// With `recorded`, each event also handed to the recording's writer.
void PlayMix(benchmark::State& state, bool recorded) {
  bench::BenchPlugin b(recorded);
  bench::HookMix mix(b);
  for (auto _ : state) mix.PlayNext();
}
void BM_Hook_Mix(benchmark::State& state) {
  PlayMix(state, false);
}
BENCHMARK(BM_Hook_Mix);

// The writer formats and appends on its own thread; this is the game thread's share.
void BM_Hook_MixRecording(benchmark::State& state) {
  PlayMix(state, true);
}
BENCHMARK(BM_Hook_MixRecording);

std::int64_t SteadyNow() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return counter.QuadPart / frequency.QuadPart * 1'000'000'000 +
         counter.QuadPart % frequency.QuadPart * 1'000'000'000 / frequency.QuadPart;
}

// What no counted landing can avoid: being called by the host, asking for the game state, the
// ball, the car and their locations, and reading the clock three times.
void BM_Hook_HostCallsOfALanding(benchmark::State& state) {
  bench::BenchPlugin b;
  OpenChain(b);
  GameWrapper& game = *b.loaded.Connection().game;
  game.HookEvent("Bench.EmptyHandler", [](std::string) {});
  for (auto _ : state) {
    b.host.FireEvent("Bench.EmptyHandler");
    ServerWrapper gameState = game.GetCurrentGameState();
    BallWrapper ball = gameState.GetBall();
    benchmark::DoNotOptimize(ball.GetLocation());
    CarWrapper car = game.GetLocalCar();
    benchmark::DoNotOptimize(car.IsNull());
    benchmark::DoNotOptimize(car.GetLocation());
    for (int read = 0; read < 3; ++read) benchmark::DoNotOptimize(SteadyNow());
  }
}
BENCHMARK(BM_Hook_HostCallsOfALanding);

}  // namespace
