// The chain log's writer on its own, for the faults the plugin cannot easily be driven into: a
// write that reaches the file only in part, and more waiting chains than it keeps.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <vector>

#include "ChainLog.h"
#include "ChainLogWriter.h"
#include "Practice.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using quillon::ChainLogWriter;

// A writer to DATA/quillon/chains.csv whose console lines the test can read.
class Writer {
 public:
  explicit Writer(const fs::path& log) {
    writer_.Start(log, {[this](const std::string& line) {
                          const std::lock_guard lock(mutex_);
                          console_.push_back(line);
                        },
                        [] {}});
  }
  ChainLogWriter& operator*() { return writer_; }
  ChainLogWriter* operator->() { return &writer_; }
  std::vector<std::string> Console() {
    const std::lock_guard lock(mutex_);
    return console_;
  }
  bool ConsoleHas(std::size_t lines) {
    return testing_support::Eventually([&] { return Console().size() >= lines; });
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> console_;
  ChainLogWriter writer_;  // last: its thread stops before the rest goes
};

quillon::FinishedChain ChainOf(std::uint32_t resets) {
  // A second between resets: a chain of more than one has an average, as the reader expects.
  return {{resets, 50.0f, resets - 1.0, resets - 1}, std::chrono::system_clock::time_point{}};
}

// A file size limit that cuts a write in the middle of a line: the whole lines written count,
// the cut one is written again, after a newline, once the limit is gone.
TEST(ChainLogWriter, AWriteCutShortWritesEachWholeLineOnce) {
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  Writer writer(log);
  writer->Add(ChainOf(1));
  writer->Stop();
  const auto size = fs::file_size(log);
  const auto lineLength = quillon::ChainLogLine(ChainOf(2).figures, {}).size();

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit original = limit;
  limit.rlim_cur = size + lineLength + lineLength / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  Writer again(log);
  again->Add(ChainOf(2));
  again->Add(ChainOf(3));
  again->Add(ChainOf(4));
  const bool reported = again.ConsoleHas(1);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
  ASSERT_TRUE(reported);
  again->Retry();
  ASSERT_TRUE(again.ConsoleHas(2));
  // The chain of two was whole in the cut write: it never waited.
  EXPECT_EQ(again.Console()[1], "Quillon: the chain log is writable again; 2 chain(s) written");
  EXPECT_EQ(again->Stop(), std::nullopt);
  EXPECT_EQ(testing_support::LoggedResets(log), (std::vector<int>{1, 2, 3, 4}));
}

// Past 100,000 waiting chains the oldest go; the rest are written in order when the log can be,
// and the lost ones are counted.
TEST(ChainLogWriter, KeepsTheNewestHundredThousandWaitingChains) {
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  fs::create_directories(log);  // a folder in the log's place
  Writer writer(log);
  constexpr std::uint32_t kChains = ChainLogWriter::kMaxWaiting + 5;
  for (std::uint32_t resets = 1; resets <= kChains; ++resets) writer->Add(ChainOf(resets));
  ASSERT_TRUE(writer.ConsoleHas(1));
  fs::remove(log);
  writer->Retry();
  ASSERT_TRUE(writer.ConsoleHas(3));
  const auto console = writer.Console();
  EXPECT_EQ(console[1], "Quillon: the chain log is writable again; 100000 chain(s) written");
  EXPECT_EQ(console[2], "Quillon: 5 chain(s) could not be written to " + quillon::QuotedPath(log));
  const auto logged = testing_support::LoggedResets(log);
  ASSERT_EQ(logged.size(), ChainLogWriter::kMaxWaiting);
  EXPECT_EQ(logged.front(), 6);
  EXPECT_EQ(logged.back(), static_cast<int>(kChains));
  EXPECT_TRUE(std::is_sorted(logged.begin(), logged.end()));
}

}  // namespace
