// The chain log's writer on its own, for the faults the plugin cannot easily be driven into: a
// write that reaches the file only in part, a close that fails, more waiting chains than it
// keeps, and a first failure at the stop.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
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

// A writer to DATA/quillon/chains.csv whose console lines the test can wait for.
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
  ~Writer() { LetGo(); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  // While held, the writer's thread stops at its next console line until it is let go.
  void Hold() {
    const std::lock_guard lock(mutex_);
    holding_ = true;
  }
  void LetGo() {
    {
      const std::lock_guard lock(mutex_);
      holding_ = false;
    }
    shown_.notify_all();
  }
  ChainLogWriter& operator*() { return writer_; }
  ChainLogWriter* operator->() { return &writer_; }
  std::vector<std::string> Console() {
    const std::lock_guard lock(mutex_);
    return console_;
  }
  bool ConsoleHas(std::size_t lines) {
    std::unique_lock lock(mutex_);
    return shown_.wait_for(lock, kPatience, [&] { return console_.size() >= lines; });
  }
  // Every chain handed over is in the log (the writer shows no event for this: it is polled).
  bool AllWritten() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (writer_.Waiting()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
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

std::uint64_t FileSize(const fs::path& file) {
  std::error_code missing;
  const auto size = fs::file_size(file, missing);
  return missing ? 0 : size;
}

// Writes to files past `bytes` fail while it lives, as on a disk that is full: the write that
// crosses the limit returns short, the next fails.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &original_);
    rlimit limited = original_;
    limited.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &original_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit original_{};
};

// The number in "Quillon: N chain(s) could not be written to ...".
std::uint64_t Lost(const std::optional<std::string>& unload) {
  return unload ? std::stoull(unload->substr(std::string("Quillon: ").size())) : 0;
}

std::vector<std::uint32_t> LoadedResets(const fs::path& log) {
  const quillon::RecentChains recent = quillon::ReadChainLog(log).summary.recent;
  return {recent.lengths.begin(), recent.lengths.begin() + recent.count};
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
  const auto lineLength = LineLength(2);

  std::optional<FileSizeLimit> limit(std::in_place, size + lineLength + lineLength / 2);
  Writer again(log);
  again->Add(ChainOf(2));
  again->Add(ChainOf(3));
  again->Add(ChainOf(4));
  const bool reported = again.ConsoleHas(1);
  limit.reset();
  ASSERT_TRUE(reported);
  again->Retry();
  ASSERT_TRUE(again.ConsoleHas(2));
  // The chain of two was whole in the cut write: it never waited.
  EXPECT_EQ(again.Console()[1], "Quillon: the chain log is writable again; 2 chain(s) written");
  EXPECT_EQ(again->Stop(), std::nullopt);
  EXPECT_EQ(testing_support::LoggedResets(log), (std::vector<int>{1, 2, 3, 4}));
}

struct Cut {
  std::size_t write;  // which of the session's writes
  std::size_t bytes;  // how many bytes short of its end it stops
  bool mended;        // the disk has room again right after it, or not before the unload
};

// A session of three chains, one write each (the first with the header), where one write is cut
// short. The next load must count each chain at most once, and the unload every chain it lacks;
// the header cut short must not stay an unreadable line.
TEST(ChainLogWriter, AWriteCutShortNeverCountsAChainTwice) {
  const std::vector<std::uint32_t> session{2, 1, 12};  // each kind of line's end
  const std::size_t header = quillon::kChainLogHeader.size() + 1;
  std::vector<Cut> cuts;
  for (const bool mended : {false, true}) {
    for (std::size_t write = 0; write < session.size(); ++write) {
      for (std::size_t bytes = 1; bytes <= 6; ++bytes) cuts.push_back({write, bytes, mended});
    }
    for (std::size_t bytes = 1; bytes <= header; ++bytes) {
      cuts.push_back({0, LineLength(session[0]) + bytes, mended});
    }
  }
  for (const Cut& cut : cuts) {
    SCOPED_TRACE("write " + std::to_string(cut.write) + " cut by " + std::to_string(cut.bytes) +
                 (cut.mended ? ", mended" : ""));
    testing_support::TempFolder data;
    const auto log = quillon::ChainLogPath(data.Path());
    Writer writer(log);
    std::optional<FileSizeLimit> limit;
    for (std::size_t i = 0; i < session.size(); ++i) {
      if (i == cut.write) {
        const std::size_t length = LineLength(session[i]) + (i == 0 ? header : 0);
        limit.emplace(FileSize(log) + length - cut.bytes);
        writer->Add(ChainOf(session[i]));
        ASSERT_TRUE(writer.ConsoleHas(1));
        if (cut.mended) limit.reset();
      } else {
        writer->Add(ChainOf(session[i]));
        if (!limit) {
          ASSERT_TRUE(writer.AllWritten());
        }
      }
    }
    const std::uint64_t lost = Lost(writer->Stop());
    limit.reset();

    const auto loaded = quillon::ReadChainLog(log).summary;
    EXPECT_EQ(LoadedResets(log), std::vector<std::uint32_t>(session.begin(), session.end() - lost));
    EXPECT_EQ(loaded.chains + lost, session.size());
    // A line that lost only its newline is in the log; one cut further is not.
    EXPECT_EQ(lost, cut.mended ? 0 : session.size() - cut.write - (cut.bytes == 1 ? 1 : 0));
    // Only a line cut inside stays unreadable; a header cut short never does, and the next write
    // completes it.
    EXPECT_EQ(loaded.skipped, cut.bytes >= 2 && cut.bytes <= 6 ? 1u : 0u);
    if (cut.mended) {
      EXPECT_TRUE(
          testing_support::FileText(log).starts_with(std::string(quillon::kChainLogHeader) + '\n'));
    }
  }
}

// Closes for real, first taking back what the last write added when `keptBytes` is set, then
// fails as a close on a network folder or under a quota can.
std::atomic<off_t> keptBytes{-1};
int FailingClose(int descriptor) {
  if (const off_t kept = keptBytes.load(); kept >= 0) {
    EXPECT_EQ(ftruncate(descriptor, kept), 0);
  }
  ::close(descriptor);
  errno = EIO;
  return -1;
}

struct CloseCase {
  const char* name;
  bool linesLost;                    // what the system held back never reached the disk
  std::vector<std::string> console;  // after the close works again and a retry
};

class FailedCloseTest : public ::testing::TestWithParam<CloseCase> {};

// What a failed close wrote is read from the file's size: a chain is neither lost nor doubled.
TEST_P(FailedCloseTest, DecidesWhatWasWrittenFromTheFilesSize) {
  const CloseCase& c = GetParam();
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  Writer writer(log);
  writer->Add(ChainOf(1));
  ASSERT_TRUE(writer.AllWritten());
  keptBytes = c.linesLost ? static_cast<off_t>(fs::file_size(log)) : -1;
  quillon::closeDescriptor = FailingClose;
  writer->Add(ChainOf(2));
  const bool done = c.linesLost ? writer.ConsoleHas(1) : writer.AllWritten();
  quillon::closeDescriptor = ::close;
  ASSERT_TRUE(done);
  writer->Retry();
  ASSERT_TRUE(writer.ConsoleHas(c.console.size()));
  EXPECT_EQ(writer->Stop(), std::nullopt);
  const std::string path = quillon::QuotedPath(log);
  std::vector<std::string> console = writer.Console();
  for (std::string& line : console) {
    if (const auto at = line.find(path); at != std::string::npos)
      line.replace(at, path.size(), "LOG");
  }
  EXPECT_EQ(console, c.console);
  EXPECT_EQ(testing_support::LoggedResets(log), (std::vector<int>{1, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    Closes, FailedCloseTest,
    ::testing::Values(
        CloseCase{"TheLinesReachedTheFile", false, {}},
        CloseCase{"TheLinesNeverReachedTheDisk",
                  true,
                  {"Quillon: cannot write to LOG (Input/output error); finished chains wait in "
                   "memory and are tried again",
                   "Quillon: the chain log is writable again; 1 chain(s) written"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A first failure at the stop says why, and the count that follows says what was not written:
// no chain waits any more, so none is said to.
TEST(ChainLogWriter, AFirstFailureAtTheStopSaysOnlyWhyAndHowMany) {
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  fs::create_directories(log);  // a folder in the log's place
  Writer writer(log);
  const auto unload = writer->Stop(ChainOf(3));
  const std::string path = quillon::QuotedPath(log);
  EXPECT_EQ(writer.Console(),
            std::vector<std::string>{"Quillon: cannot write to " + path + " (Is a directory)"});
  EXPECT_EQ(unload, "Quillon: 1 chain(s) could not be written to " + path);
}

// Past 100,000 waiting chains the oldest go; the rest are written in order when the log can be,
// and the lost ones are counted. The writer is held at its first failure while the rest are
// handed over and the log is mended, so its next try is the one that takes them all.
TEST(ChainLogWriter, KeepsTheNewestHundredThousandWaitingChains) {
  testing_support::TempFolder data;
  const auto log = quillon::ChainLogPath(data.Path());
  fs::create_directories(log);  // a folder in the log's place
  Writer writer(log);
  writer.Hold();
  constexpr std::uint32_t kChains = ChainLogWriter::kMaxWaiting + 5;
  writer->Add(ChainOf(1));
  ASSERT_TRUE(writer.ConsoleHas(1));
  for (std::uint32_t resets = 2; resets <= kChains; ++resets) writer->Add(ChainOf(resets));
  fs::remove(log);
  writer.LetGo();
  ASSERT_TRUE(writer.ConsoleHas(3));
  const auto console = writer.Console();
  EXPECT_EQ(console[1], "Quillon: the chain log is writable again; 100000 chain(s) written");
  EXPECT_EQ(console[2], "Quillon: 5 chain(s) could not be written to " + quillon::QuotedPath(log));
  std::ifstream file(log);
  std::string line;
  std::getline(file, line);
  std::uint32_t expected = 6;
  for (; std::getline(file, line); ++expected) {
    ASSERT_EQ(quillon::ChainLineResets(line), expected) << line;
  }
  EXPECT_EQ(expected, kChains + 1);
}

}  // namespace
