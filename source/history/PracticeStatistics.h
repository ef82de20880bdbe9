#pragma once
#include <cstdint>
#include <optional>

#include "LocalDays.h"
#include "PracticeDays.h"
#include "RecentChains.h"
#include "SequenceLocked.h"

namespace quillon {

// One chain's figures, as the chain log keeps them.
struct ChainFigures {
  std::uint32_t resets = 0;
  float highest = 0.0f;      // ball height at the chain's highest reset, percent
  double intervalSum = 0.0;  // seconds between resets, summed over every reset but the first
  std::uint32_t intervals = 0;
};

// The settings page's figures that a reset changes.
struct StatisticsFigures {
  // Since load or the last clear, the current chain included.
  std::uint64_t chains = 0;  // chains with at least one reset
  std::uint64_t resets = 0;
  std::uint32_t bestChain = 0;
  float highestReset = 0.0f;  // meaningful once resets > 0
  std::uint64_t intervals = 0;
  double intervalSum = 0.0;
  // From the chain log and this session; the clear leaves this alone.
  std::uint32_t allTimeBestChain = 0;
};

// The figures that change only when a chain ends, from the chain log and this session.
struct ChainHistory {
  RecentChains recent;
  std::uint32_t daysPractised = 0;  // local days with a finished chain
  DayBests bestPerDay;
};

// What the settings page shows, taken together at one moment.
struct StatisticsSnapshot : StatisticsFigures, ChainHistory {};

// The practice's session and all-time figures. The tracker feeds it on the game thread; the
// settings page, which the real host draws on its render thread, reads published snapshots.
class PracticeStatistics {
 public:
  // Starts a session from what the chain log holds.
  void Begin(std::uint32_t allTimeBestChain, const RecentChains& recent, PracticeDays days = {});
  // Game thread only: the all-time best as it stands.
  std::uint32_t AllTimeBestChain() const { return working_.allTimeBestChain; }
  // A counted reset. `firstOfChain` when the tracker's count restarted at 1; a chain that was
  // still going is then finished first and returned.
  std::optional<ChainFigures> CountReset(float height, double interval, bool firstOfChain);
  // Ends the current chain; returns it when it had a reset, so each chain is recorded once. A
  // finished chain counts for today's practice.
  std::optional<ChainFigures> FinishChain();
  // Zeroes the session figures; the chain going on counts on from here.
  void ClearSession();

  // Safe from any thread: the figures and the history of one moment. Inline, so tests that
  // load the module can read it too.
  StatisticsSnapshot Snapshot() const {
    // Read whole, then assigned: a copy of bytes into a base could reach the next base's members.
    StatisticsFigures figures;
    ChainHistory history;
    published_.Load(figures, history);
    StatisticsSnapshot snapshot;
    static_cast<StatisticsFigures&>(snapshot) = figures;
    static_cast<ChainHistory&>(snapshot) = history;
    return snapshot;
  }

 private:
  std::optional<ChainFigures> TakeChain();
  // A reset publishes the figures alone; the history, which changes only when a chain ends, is
  // published with them then. Neither takes a lock.
  enum class History { kUnchanged, kChanged };
  void Publish(History history);

  // Game thread only.
  ChainFigures chain_;                 // the current chain, whole, for the log
  std::uint32_t chainSinceClear_ = 0;  // its resets since the session figures began
  StatisticsSnapshot working_;
  PracticeDays days_;
  LocalDays localDays_;  // each UTC day's offset looked up once: a chain's end does no zone work

  SequenceLocked<StatisticsFigures, ChainHistory> published_;
};

}  // namespace quillon
