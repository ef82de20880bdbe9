#include "ChainLog.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <fstream>

namespace quillon {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;

// Two decimals, no locale, whatever the value: the reader takes nothing else as a chain's.
void AppendTwoDecimals(std::string& text, double value) {
  // Room for the longest: a sign, 309 digits, the point and two decimals.
  std::array<char, 320> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, 2);
  text.append(buffer.data(), result.ptr);
}

std::string CannotRead(const std::filesystem::path& log, const std::string& reason) {
  return "Quillon: cannot read " + QuotedPath(log) + " (" + reason +
         "); the all-time figures count from this session";
}

}  // namespace

std::filesystem::path ChainLogPath(const std::filesystem::path& dataFolder) {
  return dataFolder / "quillon" / "chains.csv";
}

std::string QuotedPath(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return "'" + std::string(text.begin(), text.end()) + "'";
}

std::string ChainLogLine(const ChainFigures& chain, std::chrono::system_clock::time_point ended) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(ended);
  const auto day = floor<days>(seconds);
  const year_month_day date(day);
  const hh_mm_ss time(seconds - day);
  std::array<char, 64> stamp;
  std::snprintf(stamp.data(), stamp.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  std::string line = stamp.data();
  line += ',';
  line += std::to_string(chain.resets);
  line += ',';
  AppendTwoDecimals(line, chain.highest);
  line += ',';
  if (chain.intervals > 0) AppendTwoDecimals(line, chain.intervalSum / chain.intervals);
  line += '\n';
  return line;
}

LoadedChainLog ReadChainLog(const std::filesystem::path& log) {
  LoadedChainLog loaded;
  try {
    // Anything but a file (nothing, a folder, a path through a plain file) holds no chains; the
    // writer says so if it cannot write there either.
    std::error_code error;
    if (!std::filesystem::is_regular_file(log, error)) return loaded;
    std::ifstream file(log, std::ios::binary);
    if (!file.is_open()) {
      loaded.consoleLines.push_back(CannotRead(log, "it cannot be opened"));
      return loaded;
    }
    ChainLogReader reader;
    std::string block(kReadBlock, '\0');
    while (file.read(block.data(), static_cast<std::streamsize>(block.size())) ||
           file.gcount() > 0) {
      reader.Add(std::string_view(block.data(), static_cast<std::size_t>(file.gcount())));
    }
    if (file.bad()) {
      loaded.consoleLines.push_back(CannotRead(log, "a read failed"));
      return loaded;
    }
    loaded.summary = reader.Finish();
    if (loaded.summary.skipped > 0) {
      loaded.consoleLines.push_back("Quillon: skipped " + std::to_string(loaded.summary.skipped) +
                                    " unreadable line(s) in " + QuotedPath(log) +
                                    " (left in the file as they are)");
    }
  } catch (const std::exception& fault) {
    loaded = {};
    loaded.consoleLines.push_back(CannotRead(log, fault.what()));
  }
  return loaded;
}

}  // namespace quillon
