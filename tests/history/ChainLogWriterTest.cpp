// The chain log's writer on its own, for the faults the plugin cannot easily be driven into: a
// write that reaches the file only in part, a close that fails, and more waiting chains than it
// keeps.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "AppendOnlyFile.h"
#include "ChainLog.h"
#include "ChainLogWriter.h"
#include "Practice.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using quillon::ChainLogWriter;

// Long enough for any machine, however loaded; each wait ends as soon as its event comes.
constexpr auto kPatience = std::chrono::minutes(5);

// A writer whose console lines the test can wait for, and whose thread it can hold at one.
class Writer {
 public:
  explicit Writer(const fs::path& log) {
    writer_.Start(log, {[this](const std::string& line) {
                          std::unique_lock lock(mutex_);
                          console_.push_back(line);
                          shown_.notify_all();
                          shown_.wait(lock, [&] { return !holding_; });
                        },
                        [] {}});
  }
  ~Writer() { Hold(false); }
  ChainLogWriter* operator->() { return &writer_; }
  void Hold(bool hold) {
    const std::lock_guard lock(mutex_);
    holding_ = hold;
    shown_.notify_all();
  }
  std::vector<std::string> Console() {
    const std::lock_guard lock(mutex_);
    return console_;
  }
  bool ConsoleHas(std::size_t lines) {
    std::unique_lock lock(mutex_);
    return shown_.wait_for(lock, kPatience, [&] { return console_.size() >= lines; });
  }
  // Every chain handed over is in the log; the writer shows no event for it, so it is polled.
  bool AllWritten() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (writer_.Waiting() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !writer_.Waiting();
  }

 private:
  std::mutex mutex_;
  std::condition_variable shown_;
  std::vector<std::string> console_;
  bool holding_ = false;
  ChainLogWriter writer_;  // last: its thread stops before the rest goes
};

quillon::FinishedChain ChainOf(std::uint32_t resets) {
  // A second between resets: a chain of more than one has an average, as the reader expects.
  return {{resets, 50.0f, resets - 1.0, resets - 1}, std::chrono::system_clock::time_point{}};
}

std::size_t LineLength(std::uint32_t resets) {
  return quillon::ChainLogLine(ChainOf(resets).figures, {}).size();
}

// Writes to files past `bytes` fail while it lives, as on a full disk: the write that crosses
// the limit returns short, the next fails.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &original);
    const rlimit limited{bytes, original.rlim_max};
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &original); }
  rlimit original{};
};

// A session of three chains, one write each (the first with the header), with one write cut
// short by 1 to 6 bytes, or inside the header. Mended, the disk has room again at once; if not,
// only at the unload. The next load counts each chain at most once, the unload every chain it
// lacks, and no header cut short stays an unreadable line.
TEST(ChainLogWriter, AWriteCutShortNeverCountsAChainTwice) {
  const std::vector<std::uint32_t> session{2, 1, 12};  // each kind of line's end
  const std::size_t header = quillon::kChainLogHeader.size() + 1;
  std::vector<std::pair<std::size_t, std::size_t>> cuts;  // a write, and the bytes it lacks
  for (std::size_t write = 0; write < session.size(); ++write) {
    for (std::size_t bytes = 1; bytes <= 6; ++bytes) cuts.emplace_back(write, bytes);
  }
  for (std::size_t bytes = 1; bytes <= header; ++bytes) {
    cuts.emplace_back(0, LineLength(session[0]) + bytes);
  }
  for (const bool mended : {false, true}) {
    for (const auto& [cutWrite, cutBytes] : cuts) {
      SCOPED_TRACE(std::to_string(cutWrite) + " cut by " + std::to_string(cutBytes) +
                   (mended ? ", mended" : ""));
      testing_support::TempFolder data;
      const auto log = quillon::ChainLogPath(data.Path());
      Writer writer(log);
      std::optional<FileSizeLimit> limit;
      for (std::size_t i = 0; i < session.size(); ++i) {
        if (i == cutWrite) {
          std::error_code none;
          const auto size = fs::exists(log, none) ? fs::file_size(log) : 0;
          limit.emplace(size + LineLength(session[i]) + (i == 0 ? header : 0) - cutBytes);
        }
        writer->Add(ChainOf(session[i]));
        ASSERT_TRUE(i == cutWrite ? writer.ConsoleHas(1) : limit || writer.AllWritten());
        if (mended) limit.reset();
      }
      const auto unload = writer->Stop();
      limit.reset();
      // "Quillon: N chain(s) could not be written to ..."
      const std::uint64_t lost = unload ? std::stoull(unload->substr(9)) : 0;
      // A line that lost only its newline is in the log; one cut further is not.
      EXPECT_EQ(lost, mended ? 0 : session.size() - cutWrite - (cutBytes == 1 ? 1 : 0));
      const auto loaded = quillon::ReadChainLog(log).summary;
      // Each chain once, in order, up to those the unload counted.
      EXPECT_EQ(std::vector<float>(loaded.recent.lengths.begin(),
                                   loaded.recent.lengths.begin() + loaded.recent.count),
                std::vector<float>(session.begin(), session.end() - lost));
      EXPECT_EQ(loaded.skipped, cutBytes >= 2 && cutBytes <= 6 ? 1u : 0u);
      if (mended) {
        EXPECT_TRUE(testing_support::FileText(log).starts_with(
            std::string(quillon::kChainLogHeader) + '\n'));
      }
    }
  }
}

// Closes for real, first taking back what the last write added when `keptBytes` is set, then
// fails as a close on a network folder or under a quota can.
off_t keptBytes = -1;
int FailingClose(int descriptor) {
  if (keptBytes >= 0 && ftruncate(descriptor, keptBytes) != 0) ADD_FAILURE();
  ::close(descriptor);
  errno = EIO;
  return -1;
}

// What a failed close wrote is read from the file's size, so a chain is neither lost nor
// doubled, and it is reported when it lost the chain.
TEST(ChainLogWriter, AFailedCloseDecidesWhatWasWrittenFromTheFilesSize) {
  for (const bool linesLost : {false, true}) {
    testing_support::TempFolder data;
    const auto log = quillon::ChainLogPath(data.Path());
    Writer writer(log);
    writer->Add(ChainOf(1));
    ASSERT_TRUE(writer.AllWritten());
    keptBytes = linesLost ? static_cast<off_t>(fs::file_size(log)) : -1;
    quillon::closeDescriptor = FailingClose;  // seen by the writer through Add's lock
    writer->Add(ChainOf(2));
    const bool done = linesLost ? writer.ConsoleHas(1) : writer.AllWritten();
    quillon::closeDescriptor = ::close;
    ASSERT_TRUE(done);
    EXPECT_EQ(writer->Stop(), std::nullopt);  // its last try writes what waits
    std::vector<std::string> reported;
    if (linesLost) {
      reported = {"Quillon: cannot write to " + quillon::QuotedPath(log) +
                      " (Input/output error); finished chains wait in memory and are tried again",
                  "Quillon: the chain log is writable again; 1 chain(s) written"};
    }
    EXPECT_EQ(writer.Console(), reported);
    EXPECT_EQ(testing_support::LoggedResets(log), (std::vector<int>{1, 2}));
  }
}

// Past 100,000 waiting chains the oldest go; the rest are written in order when the log can be,
// and the lost ones are counted. The writer is held at its first failure while the rest are
// handed over and the log is mended, so its next try is the one that takes them all.
TEST(ChainLogWriter, KeepsTheNewestHundredThousandWaitingChains) {
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  fs::create_directories(log);  // a folder in the log's place
  Writer writer(log);
  writer.Hold(true);
  constexpr std::uint32_t kChains = ChainLogWriter::kMaxWaiting + 5;
  writer->Add(ChainOf(1));
  ASSERT_TRUE(writer.ConsoleHas(1));
  for (std::uint32_t resets = 2; resets <= kChains; ++resets) writer->Add(ChainOf(resets));
  fs::remove(log);
  writer.Hold(false);
  ASSERT_TRUE(writer.ConsoleHas(3));
  const auto console = writer.Console();
  EXPECT_EQ(console[1], "Quillon: the chain log is writable again; 100000 chain(s) written");
  EXPECT_EQ(console[2], "Quillon: 5 chain(s) could not be written to " + quillon::QuotedPath(log));
  std::ifstream file(log);
  std::string line;
  std::uint32_t expected = 6;
  for (std::getline(file, line); std::getline(file, line); ++expected) {
    ASSERT_EQ(quillon::ChainLineResets(line), expected) << line;
  }
  EXPECT_EQ(expected, kChains + 1);
}

}  // namespace
