#include "ChainLog.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <fstream>

namespace quillon {
namespace {

constexpr const char* kInMemory = "; the statistics are kept in memory only";
constexpr std::size_t kReadBlock = 1 << 20;

// Two decimals, no locale; a value too long for the buffer in its shortest form instead.
void AppendTwoDecimals(std::string& text, double value) {
  std::array<char, 64> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                              std::chars_format::fixed, 2);
  if (result.ec != std::errc{}) {
    result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  }
  text.append(buffer.data(), result.ptr);
}

std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.generic_string() + "'";
}

}  // namespace

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

ChainLog::Loaded ChainLog::Open(const std::filesystem::path& dataFolder) {
  Loaded loaded;
  path_.clear();
  writeWarning_.clear();
  warned_ = false;
  if (dataFolder.empty()) {
    if (const auto warning =
            WarnOnce(std::string("Quillon: the host has no data folder") + kInMemory))
      loaded.consoleLines.push_back(*warning);
    return loaded;
  }
  try {
    const auto folder = dataFolder / "quillon";
    path_ = folder / "chains.csv";
    writeWarning_ = "Quillon: cannot write to " + Quoted(path_) + kInMemory;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
      loaded.consoleLines.push_back(*WarnOnce("Quillon: cannot make the folder " + Quoted(folder) +
                                              " (" + error.message() + ")" + kInMemory));
      return loaded;
    }
    if (!std::filesystem::exists(path_, error) && !error) return loaded;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path_, error)) file.open(path_, std::ios::binary);
    if (!file.is_open()) {
      loaded.consoleLines.push_back(*WarnOnce("Quillon: cannot read " + Quoted(path_) + kInMemory));
      return loaded;
    }
    ChainLogReader reader;
    std::string block(kReadBlock, '\0');
    while (file.read(block.data(), static_cast<std::streamsize>(block.size())) ||
           file.gcount() > 0) {
      reader.Add(std::string_view(block.data(), static_cast<std::size_t>(file.gcount())));
    }
    if (file.bad()) {
      loaded.consoleLines.push_back(*WarnOnce("Quillon: cannot read " + Quoted(path_) + kInMemory));
      return loaded;
    }
    loaded.summary = reader.Finish();
    if (loaded.summary.skipped > 0) {
      loaded.consoleLines.push_back("Quillon: skipped " + std::to_string(loaded.summary.skipped) +
                                    " unreadable line(s) in " + Quoted(path_) +
                                    " (left in the file as they are)");
    }
  } catch (const std::exception& fault) {
    if (const auto warning = WarnOnce(std::string("Quillon: cannot open the chain log (") +
                                      fault.what() + ")" + kInMemory))
      loaded.consoleLines.push_back(*warning);
  }
  return loaded;
}

std::optional<std::string> ChainLog::Append(const ChainFigures& chain,
                                            std::chrono::system_clock::time_point ended) {
  if (path_.empty() || warned_) return std::nullopt;
  try {
    std::error_code error;
    std::filesystem::create_directories(path_.parent_path(), error);
    // A crash may have cut the last line short: start on a line of its own, so the torn line
    // never merges with this one.
    std::string text;
    {
      std::ifstream existing(path_, std::ios::binary | std::ios::ate);
      const auto size = existing.is_open() ? static_cast<std::streamoff>(existing.tellg()) : 0;
      if (size <= 0) {
        text.append(kChainLogHeader);
        text += '\n';
      } else {
        char last = '\n';
        existing.seekg(-1, std::ios::end);
        existing.get(last);
        if (last != '\n') text += '\n';
      }
    }
    text += ChainLogLine(chain, ended);
    std::ofstream file(path_, std::ios::binary | std::ios::app);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();  // flushes; a full disk shows here at the latest
    if (!file.fail()) return std::nullopt;
  } catch (const std::exception&) {
  }
  return WarnOnce(writeWarning_);
}

std::optional<std::string> ChainLog::WarnOnce(const std::string& what) {
  if (warned_) return std::nullopt;
  warned_ = true;
  return what;
}

}  // namespace quillon
