// Connects the statistics to the tracker, the chain log and the console.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ChainLog.h"
#include "QuillonPlugin.h"

namespace {

constexpr const char* kClearCommand = "quillon_clear_stats";
// Anyone at the console may run it.
constexpr unsigned char kPermissionAll = 0;
constexpr float kChainLogRetrySeconds = 5.0f;

}  // namespace

void QuillonPlugin::LoadStatistics() {
  chainLogRetryScheduled = false;
  const auto dataFolder = gameWrapper->GetDataFolder();
  if (dataFolder.empty()) {
    cvarManager->log(
        "Quillon: the host has no data folder; the statistics are kept in memory only");
    statistics.Begin(0, {});
  } else {
    const auto log = quillon::ChainLogPath(dataFolder);
    quillon::LoadedChainLog loaded = quillon::ReadChainLog(log);
    for (const std::string& line : loaded.consoleLines) cvarManager->log(line);
    statistics.Begin(loaded.summary.bestChain, loaded.summary.recent,
                     std::move(loaded.summary.days));
    // The writer's thread reports on the console, which is safe from any thread, and asks the
    // game thread for retries through Execute, which is too.
    quillon::ChainLogWriter::Callbacks callbacks{
        [this](const std::string& line) { cvarManager->log(line); },
        [this, plugin = WeakSelf()] {
          gameWrapper->Execute([plugin](GameWrapper*) {
            if (const auto self = plugin.lock()) self->ScheduleChainLogRetry();
          });
        }};
    if (const auto fault = chainLogWriter.Start(log, std::move(callbacks))) {
      cvarManager->log(*fault);
    }
  }
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
  chainLogWriter.Add({chain, std::chrono::system_clock::now()});
}

void QuillonPlugin::ScheduleChainLogRetry() {
  if (chainLogRetryScheduled || !chainLogWriter.Running()) return;
  chainLogRetryScheduled = true;
  gameWrapper->SetTimeout(
      [plugin = WeakSelf()](GameWrapper*) {
        const auto self = plugin.lock();
        if (!self) return;
        self->chainLogRetryScheduled = false;
        if (!self->chainLogWriter.Running() || !self->chainLogWriter.Waiting()) return;
        self->chainLogWriter.Retry();
        self->ScheduleChainLogRetry();
      },
      kChainLogRetrySeconds);
}

void QuillonPlugin::StopChainLog() {
  // The chain going on ends with the stop, so that the writer's try with it is known as its last.
  std::optional<quillon::FinishedChain> last;
  if (const auto finished = statistics.FinishChain()) {
    last = quillon::FinishedChain{*finished, std::chrono::system_clock::now()};
  }
  if (const auto lost = chainLogWriter.Stop(last)) cvarManager->log(*lost);
}

void QuillonPlugin::ClearStatisticsLater() {
  gameWrapper->Execute([plugin = WeakSelf()](GameWrapper*) {
    if (const auto self = plugin.lock()) self->statistics.ClearSession();
  });
}
