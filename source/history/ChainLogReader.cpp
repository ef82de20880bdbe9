#include "ChainLogReader.h"

#include <array>
#include <charconv>
#include <cstring>
#include <utility>

namespace quillon {
namespace {

// Far longer than any line the plugin writes (about 60 characters).
constexpr std::size_t kLongestLine = 4096;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int TwoDigits(std::string_view text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

int FourDigits(std::string_view text, std::size_t at) {
  return TwoDigits(text, at) * 100 + TwoDigits(text, at + 2);
}

// UTC as YYYY-MM-DDTHH:MM:SSZ.
bool IsTimeStamp(std::string_view text) {
  constexpr std::string_view kShape = "0000-00-00T00:00:00Z";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == '0' ? !IsDigit(text[i]) : text[i] != kShape[i]) return false;
  }
  const int month = TwoDigits(text, 5);
  const int day = TwoDigits(text, 8);
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && TwoDigits(text, 11) < 24 &&
         TwoDigits(text, 14) < 60 && TwoDigits(text, 17) <= 60;
}

// A number as the plugin writes one: digits with exactly two decimals, or a value that is not a
// number or an infinity. No piece of one is one too, so a line cut short never reads as a chain.
bool IsTwoDecimals(std::string_view text) {
  if (text == "nan" || text == "-nan" || text == "inf" || text == "-inf") return true;
  if (text.starts_with('-')) text.remove_prefix(1);
  if (text.size() < 4) return false;
  const std::size_t point = text.size() - 3;
  if (text[point] != '.') return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != point && !IsDigit(text[i])) return false;
  }
  return true;
}

}  // namespace

std::uint32_t ChainLineResets(std::string_view line) {
  std::array<std::string_view, 4> fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto comma = line.find(',');
    const bool last = i + 1 == fields.size();
    if (last != (comma == std::string_view::npos)) return 0;
    fields[i] = line.substr(0, comma);
    line = last ? std::string_view{} : line.substr(comma + 1);
  }
  const auto [ended, resetsText, highest, average] = fields;
  std::uint32_t resets = 0;
  const char* resetsEnd = resetsText.data() + resetsText.size();
  const auto [stop, error] = std::from_chars(resetsText.data(), resetsEnd, resets);
  if (error != std::errc{} || stop != resetsEnd || resets == 0 || !IsDigit(resetsText[0])) return 0;
  // A chain of one reset has no interval to average; every longer chain has.
  const bool averageRight = resets == 1 ? average.empty() : IsTwoDecimals(average);
  if (!IsTimeStamp(ended) || !IsTwoDecimals(highest) || !averageRight) return 0;
  return resets;
}

std::int64_t ChainLineEnded(std::string_view line) {
  const std::int32_t day = CivilDay(FourDigits(line, 0), static_cast<unsigned>(TwoDigits(line, 5)),
                                    static_cast<unsigned>(TwoDigits(line, 8)));
  return std::int64_t{day} * 86400 + TwoDigits(line, 11) * 3600 + TwoDigits(line, 14) * 60 +
         TwoDigits(line, 17);
}

void ChainLogReader::Add(std::string_view block) {
  while (!block.empty()) {
    const void* found = std::memchr(block.data(), '\n', block.size());
    const std::size_t end =
        found == nullptr ? block.size()
                         : static_cast<std::size_t>(static_cast<const char*>(found) - block.data());
    const std::string_view piece = block.substr(0, end);
    if (overlong_ || partialLine_.size() + piece.size() > kLongestLine) {
      overlong_ = true;
      partialLine_.clear();
    } else if (found == nullptr) {
      partialLine_.append(piece);
    } else if (partialLine_.empty()) {
      ReadLine(piece);
    } else {
      partialLine_.append(piece);
      ReadLine(partialLine_);
      partialLine_.clear();
    }
    if (found == nullptr) return;
    if (overlong_) {
      ++summary_.skipped;
      overlong_ = false;
    }
    block.remove_prefix(end + 1);
  }
}

ChainLogSummary ChainLogReader::Finish() {
  // A last line with no newline is read as any other: only a whole one reads as a chain.
  if (overlong_) {
    ++summary_.skipped;
  } else if (!partialLine_.empty()) {
    ReadLine(partialLine_);
  }
  partialLine_.clear();
  overlong_ = false;
  return summary_;
}

void ChainLogReader::ReadLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  // A header, or the beginning of one that a write cut short, is no chain and no fault.
  const bool first = std::exchange(firstLine_, false);
  if (line == kChainLogHeader || (first && !line.empty() && kChainLogHeader.starts_with(line))) {
    return;
  }
  const std::uint32_t resets = ChainLineResets(line);
  if (resets == 0) {
    ++summary_.skipped;
    return;
  }
  ++summary_.chains;
  if (resets > summary_.bestChain) summary_.bestChain = resets;
  summary_.recent.Add(resets);
  summary_.days.Add(localDays_.DayOf(ChainLineEnded(line)), resets);
}

}  // namespace quillon
