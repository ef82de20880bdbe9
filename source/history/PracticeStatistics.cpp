#include "PracticeStatistics.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "LocalDays.h"

namespace quillon {

void PracticeStatistics::Begin(std::uint32_t allTimeBestChain, const RecentChains& recent,
                               PracticeDays days) {
  chain_ = {};
  chainSinceClear_ = 0;
  working_ = {};
  working_.allTimeBestChain = allTimeBestChain;
  working_.recent = recent;
  days_ = std::move(days);
  working_.daysPractised = days_.Count();
  working_.bestPerDay = days_.Latest();
  Publish(History::kChanged);
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
  Publish(finished ? History::kChanged : History::kUnchanged);
  return finished;
}

std::optional<ChainFigures> PracticeStatistics::FinishChain() {
  auto finished = TakeChain();
  if (finished) Publish(History::kChanged);
  return finished;
}

std::optional<ChainFigures> PracticeStatistics::TakeChain() {
  if (chain_.resets == 0) return std::nullopt;
  const ChainFigures finished = chain_;
  chain_ = {};
  chainSinceClear_ = 0;
  working_.recent.Add(finished.resets);
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  days_.Add(localDays_.DayOf(now.time_since_epoch().count()), finished.resets);
  working_.daysPractised = days_.Count();
  working_.bestPerDay = days_.Latest();
  return finished;
}

void PracticeStatistics::ClearSession() {
  const StatisticsSnapshot kept = working_;
  working_ = {};
  working_.allTimeBestChain = kept.allTimeBestChain;
  working_.recent = kept.recent;
  working_.daysPractised = kept.daysPractised;
  working_.bestPerDay = kept.bestPerDay;
  chainSinceClear_ = 0;
  Publish(History::kUnchanged);
}

void PracticeStatistics::Publish(History history) {
  if (history == History::kUnchanged) {
    published_.Store(working_);
  } else {
    published_.Store(working_, working_);
  }
}

}  // namespace quillon
