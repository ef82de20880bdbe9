#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "LocalDays.h"
#include "PracticeDays.h"
#include "RecentChains.h"

namespace quillon {

inline constexpr std::string_view kChainLogHeader = "ended,resets,highest,average_interval";

// What the plugin takes from the chain log at load.
struct ChainLogSummary {
  std::uint64_t chains = 0;   // lines read as chains
  std::uint64_t skipped = 0;  // lines that could not be read, a torn last line included
  std::uint32_t bestChain = 0;
  RecentChains recent;
  PracticeDays days;  // the local days the chains ended on
};

// Reads the chain log's text in blocks of any size. A line is read as a chain only when it has
// the four fields the plugin writes, each of its kind and whole, so a line that a crash or a full
// disk cut short is skipped, newline or not, while one that lost only its newline is read. The
// header, and a first line that is the beginning of it, and nothing else is passed over quietly.
// A line far longer than any chain is skipped without being kept, so no file can exhaust memory.
class ChainLogReader {
 public:
  void Add(std::string_view block);
  ChainLogSummary Finish();

 private:
  void ReadLine(std::string_view line);

  std::string partialLine_;  // the start of a line that the next block goes on with
  bool overlong_ = false;    // the line going on is too long to be a chain: its rest is ignored
  bool firstLine_ = true;
  ChainLogSummary summary_;
  LocalDays localDays_;
};

// The resets of one line of the log, or 0 when the line is not a chain as the plugin writes it.
std::uint32_t ChainLineResets(std::string_view line);
// Seconds since 1970-01-01 UTC of the time stamp that begins a line ChainLineResets reads.
std::int64_t ChainLineEnded(std::string_view line);

}  // namespace quillon
