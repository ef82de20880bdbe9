// Connects the statistics to the tracker, the chain log and the console.
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "QuillonPlugin.h"

namespace {

constexpr const char* kClearCommand = "quillon_clear_stats";
// Anyone at the console may run it.
constexpr unsigned char kPermissionAll = 0;

}  // namespace

void QuillonPlugin::LoadStatistics() {
  quillon::ChainLog::Loaded loaded = chainLog.Open(gameWrapper->GetDataFolder());
  for (const std::string& line : loaded.consoleLines) cvarManager->log(line);
  statistics.Begin(loaded.summary.bestChain, loaded.summary.recent, std::move(loaded.summary.days));
  cvarManager->registerNotifier(
      kClearCommand, [this](std::vector<std::string>) { ClearStatisticsLater(); },
      "Clears the session statistics; the chain log and the all-time best stay", kPermissionAll);
}

void QuillonPlugin::CountReset() {
  const std::uint32_t bestBefore = statistics.AllTimeBestChain();
  const auto finished =
      statistics.CountReset(record.resetHeight, record.resetInterval, record.resetCount == 1);
  if (finished) RecordChain(*finished);
  AnnounceNewBest(bestBefore);
}

void QuillonPlugin::FinishChain() {
  if (const auto finished = statistics.FinishChain()) RecordChain(*finished);
}

void QuillonPlugin::RecordChain(const quillon::ChainFigures& chain) {
  if (const auto warning = chainLog.Append(chain, std::chrono::system_clock::now())) {
    cvarManager->log(*warning);
  }
}

void QuillonPlugin::ClearStatisticsLater() {
  gameWrapper->Execute([plugin = WeakSelf()](GameWrapper*) {
    if (const auto self = plugin.lock()) self->statistics.ClearSession();
  });
}
