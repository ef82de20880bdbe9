#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ChainLogReader.h"
#include "PracticeStatistics.h"

namespace quillon {

// The player's record of finished chains, DATA/quillon/chains.csv: a header, then one line a
// chain. It is only ever appended to (by ChainLogWriter), never rewritten, truncated or deleted.
std::filesystem::path ChainLogPath(const std::filesystem::path& dataFolder);

struct LoadedChainLog {
  ChainLogSummary summary;
  std::vector<std::string> consoleLines;  // what the player should be told
};

// Reads the log once, at load. A missing log (or folder) is an empty one: it is made when the
// first chain is written. A log that cannot be read is reported and left as it is.
LoadedChainLog ReadChainLog(const std::filesystem::path& log);

// One line of the log, newline included: UTC end time, resets, highest height and average
// interval with two decimals (empty for a chain of one reset).
std::string ChainLogLine(const ChainFigures& chain, std::chrono::system_clock::time_point ended);

// The path in quotes for a console line, in UTF-8 whatever the system's code page.
std::string QuotedPath(const std::filesystem::path& path);

}  // namespace quillon
