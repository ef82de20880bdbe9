// Loading the plugin with a chain log of a million chains, years of practice: the log is read
// whole at load, which must take at most half a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "Host.h"
#include "LoadedPlugin.h"

namespace {

constexpr int kChains = 1'000'000;

// A data folder whose chain log holds kChains lines as the plugin writes them; removed at exit.
class MillionChainLog {
 public:
  MillionChainLog()
      : folder_(std::filesystem::temp_directory_path() /
                ("quillon-bench-chains-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(folder_ / "quillon");
    std::ofstream log(folder_ / "quillon" / "chains.csv", std::ios::binary);
    log << "ended,resets,highest,average_interval\n";
    char line[96];
    for (int i = 0; i < kChains; ++i) {
      const int resets = 1 + i % 12;
      const int length =
          std::snprintf(line, sizeof line, "2026-%02d-%02dT%02d:%02d:%02dZ,%d,%d.%02d,%s\n",
                        1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60, resets, i % 100,
                        i % 97, resets == 1 ? "" : (i % 2 ? "1.28" : "2.05"));
      log.write(line, length);
    }
  }
  ~MillionChainLog() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

void BM_Load_MillionLineChainLog(benchmark::State& state) {
  static const MillionChainLog log;
  for (auto _ : state) {
    pluginsdk::Host host;
    host.SetDataFolder(log.Folder());
    const host::LoadedPlugin loaded(host, QUILLON_PLUGIN_PATH);
    benchmark::DoNotOptimize(&loaded);
  }
}
BENCHMARK(BM_Load_MillionLineChainLog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Load_NoChainLog(benchmark::State& state) {
  for (auto _ : state) {
    pluginsdk::Host host;
    const host::LoadedPlugin loaded(host, QUILLON_PLUGIN_PATH);
    benchmark::DoNotOptimize(&loaded);
  }
}
BENCHMARK(BM_Load_NoChainLog)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
