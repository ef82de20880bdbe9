#include "ModelCheck.h"

#include <fstream>
#include <sstream>

#include "ScriptWriter.h"
#include "Shrink.h"
#include "StepGenerator.h"

namespace model {
namespace {

std::string Quoted(const std::string& frame) {
  return frame.empty() ? "(nothing drawn)" : "\"" + frame + "\"";
}

}  // namespace

std::optional<FailureReport> CheckSeed(std::uint64_t seed, std::size_t stepCount, Variant variant,
                                       const std::filesystem::path& folder, Coverage* seen) {
  std::vector<Step> steps = GenerateSession(seed, stepCount);
  const auto mismatch = FindMismatch(steps, variant, seen);
  if (!mismatch) return std::nullopt;

  steps.resize(mismatch->step + 1);
  const auto fails = [variant](const std::vector<Step>& trial) {
    return FindMismatch(trial, variant).has_value();
  };
  std::vector<Step> shrunk = Shrink(JoinAdvances(Shrink(std::move(steps), fails), fails), fails);
  const Mismatch last = *FindMismatch(shrunk, variant);

  std::ostringstream comment;
  comment << "Model test failure, seed " << seed << ", shrunk to " << shrunk.size()
          << " steps.\nAfter the last step the model expects " << Quoted(last.expected)
          << "\nbut the plugin draws " << Quoted(last.drawn) << '.';
  std::filesystem::create_directories(folder);
  const auto script = folder / ("quillon-model-seed-" + std::to_string(seed) + ".session");
  std::ofstream(script) << SessionScript(shrunk, comment.str());

  return FailureReport{seed, mismatch->step + 1, *mismatch, std::move(shrunk), last, script};
}

std::string Describe(const FailureReport& report) {
  std::ostringstream text;
  text << "seed " << report.seed << ": at step " << report.failingStep << " the model expects "
       << Quoted(report.first.expected) << " but the plugin draws " << Quoted(report.first.drawn)
       << ".\nShrunk to " << report.shrunk.size() << " steps:\n";
  for (const Step& step : report.shrunk) text << "  " << model::Describe(step) << '\n';
  text << "after which the model expects " << Quoted(report.last.expected)
       << " but the plugin draws " << Quoted(report.last.drawn) << ".\nReplay: quillon-host "
       << report.script.string() << '\n';
  return text.str();
}

}  // namespace model
