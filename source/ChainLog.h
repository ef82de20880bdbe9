#pragma once
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ChainLogReader.h"
#include "PracticeStatistics.h"

namespace quillon {

// The player's record of finished chains, DATA/quillon/chains.csv: a header, then one line a
// chain. It is only ever appended to, never rewritten, truncated or deleted. No fault in it stops
// the practice: it is reported on the console once and the statistics go on in memory.
class ChainLog {
 public:
  struct Loaded {
    ChainLogSummary summary;
    std::vector<std::string> consoleLines;  // what the player should be told
  };

  // Makes the folder when missing and reads the log; an empty data folder keeps it in memory.
  Loaded Open(const std::filesystem::path& dataFolder);
  // Appends the chain and flushes it. Returns the console warning of the first fault only.
  std::optional<std::string> Append(const ChainFigures& chain,
                                    std::chrono::system_clock::time_point ended);

 private:
  std::optional<std::string> WarnOnce(const std::string& what);

  std::filesystem::path path_;  // empty: the statistics are kept in memory only
  std::string writeWarning_;
  bool warned_ = false;  // after the first fault the log is left alone
};

// One line of the log, newline included: UTC end time, resets, highest height and average
// interval with two decimals (empty for a chain of one reset).
std::string ChainLogLine(const ChainFigures& chain, std::chrono::system_clock::time_point ended);

}  // namespace quillon
