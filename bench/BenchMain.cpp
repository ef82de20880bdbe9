// Runs every benchmark once, then prints the ratios that matter, from the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

// Keeps each benchmark's CPU time per iteration (steadier than wall time on a busy machine) while
// the console shows the usual table: with --benchmark_repetitions, the median of the repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        nanoseconds_[name] = run.GetAdjustedCPUTime();
        medians_.insert(name);
      } else if (run.run_type == Run::RT_Iteration && !medians_.contains(name)) {
        nanoseconds_[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio(const char* what, const std::string& numerator, const std::string& denominator,
                  const char* target) const {
    const auto top = nanoseconds_.find(numerator);
    const auto bottom = nanoseconds_.find(denominator);
    if (top == nanoseconds_.end() || bottom == nanoseconds_.end()) return;
    std::printf("%-44s %6.2f   (target %s)\n", what, top->second / bottom->second, target);
  }

 private:
  std::map<std::string, double> nanoseconds_;
  std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nRatios from this run:\n");
  for (const char* mode : {"OneColor", "PerTextColors", "Cycling"}) {
    const std::string suffix = std::string("/") + mode;
    reporter.PrintRatio(("DrawOverlay / floor" + suffix).c_str(), "BM_Frame_DrawOverlay" + suffix,
                        "BM_Frame_Floor" + suffix, "<= 1.5");
    reporter.PrintRatio(("peer / DrawOverlay" + suffix).c_str(), "BM_Frame_Peer" + suffix,
                        "BM_Frame_DrawOverlay" + suffix, ">= 5");
  }
  reporter.PrintRatio("counted landing / its host calls", "BM_Hook_CountedLanding",
                      "BM_Hook_HostCallsOfALanding", "<= 1.2");
  reporter.PrintRatio("recorded mix / mix of game events", "BM_Hook_MixRecording", "BM_Hook_Mix",
                      "<= 1.25");
  reporter.PrintRatio("recorded frame / frame (one colour)",
                      "BM_Frame_DrawOverlay/OneColorRecorded", "BM_Frame_DrawOverlay/OneColor",
                      "<= 1.1");
  reporter.PrintRatio("recorded replay / replay (10^6 steps)", "BM_Replay_MillionStepsRecorded",
                      "BM_Replay_MillionSteps", "<= 1.25");
  return 0;
}
