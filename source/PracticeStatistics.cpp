#include "PracticeStatistics.h"

#include <algorithm>

namespace quillon {

void PracticeStatistics::Begin(std::uint32_t allTimeBestChain, const RecentChains& recent) {
  chain_ = {};
  chainSinceClear_ = 0;
  working_ = {};
  working_.allTimeBestChain = allTimeBestChain;
  working_.recent = recent;
  Publish(Recent::kChanged);
}

std::optional<ChainFigures> PracticeStatistics::CountReset(float height, double interval,
                                                           bool firstOfChain) {
  std::optional<ChainFigures> finished;
  if (firstOfChain) finished = TakeChain();

  if (chain_.resets == 0 || height > chain_.highest) chain_.highest = height;
  ++chain_.resets;
  if (!firstOfChain) {
    chain_.intervalSum += interval;
    ++chain_.intervals;
  }

  if (chainSinceClear_ == 0) ++working_.chains;
  ++chainSinceClear_;
  if (working_.resets == 0 || height > working_.highestReset) working_.highestReset = height;
  ++working_.resets;
  if (!firstOfChain) {
    working_.intervalSum += interval;
    ++working_.intervals;
  }
  working_.bestChain = std::max(working_.bestChain, chainSinceClear_);
  working_.allTimeBestChain = std::max(working_.allTimeBestChain, chain_.resets);
  Publish(finished ? Recent::kChanged : Recent::kUnchanged);
  return finished;
}

std::optional<ChainFigures> PracticeStatistics::FinishChain() {
  auto finished = TakeChain();
  if (finished) Publish(Recent::kChanged);
  return finished;
}

std::optional<ChainFigures> PracticeStatistics::TakeChain() {
  if (chain_.resets == 0) return std::nullopt;
  const ChainFigures finished = chain_;
  chain_ = {};
  chainSinceClear_ = 0;
  working_.recent.Add(finished.resets);
  return finished;
}

void PracticeStatistics::ClearSession() {
  const StatisticsSnapshot kept = working_;
  working_ = {};
  working_.allTimeBestChain = kept.allTimeBestChain;
  working_.recent = kept.recent;
  chainSinceClear_ = 0;
  Publish(Recent::kUnchanged);
}

StatisticsSnapshot PracticeStatistics::Snapshot() const {
  StatisticsSnapshot snapshot;
  static_cast<StatisticsFigures&>(snapshot) = publishedFigures_.Load();
  const std::lock_guard lock(publishedMutex_);
  snapshot.recent = publishedRecent_;
  return snapshot;
}

void PracticeStatistics::Publish(Recent recent) {
  publishedFigures_.Store(working_);
  if (recent == Recent::kUnchanged) return;
  const std::lock_guard lock(publishedMutex_);
  publishedRecent_ = working_.recent;
}

}  // namespace quillon
