#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "PracticeStatistics.h"

namespace quillon {

struct FinishedChain {
  ChainFigures figures;
  std::chrono::system_clock::time_point ended;
};

// Appends finished chains to the chain log on a thread of its own, so the game thread never
// opens, reads or writes a file. A write that fails (the file held by another program, the folder
// gone, the disk full) keeps the chains, in order, and a later try writes them: each chain
// reaches the log once, in the order the chains finished.
class ChainLogWriter {
 public:
  // Past this many waiting chains the oldest go, and are reported as lost.
  static constexpr std::size_t kMaxWaiting = 100'000;
  static constexpr std::size_t kHandOverRoom = 256;

  // Both are called on the writer's thread.
  struct Callbacks {
    std::function<void(const std::string&)> report;  // a line for the player's console
    std::function<void()> faulted;                   // a write failed after one that worked
  };

  ChainLogWriter() = default;
  ChainLogWriter(const ChainLogWriter&) = delete;
  ChainLogWriter& operator=(const ChainLogWriter&) = delete;
  ~ChainLogWriter();

  // Starts the thread that writes to `log`. Why it could not start, as a console line.
  std::optional<std::string> Start(std::filesystem::path log, Callbacks callbacks);
  // The calls below are made on the game thread; none of them waits for the disk.
  bool Running() const { return thread_.joinable(); }
  // Hands a chain over; every waiting chain is tried with it.
  void Add(const FinishedChain& chain);
  void Retry();
  // Some chains are not in the log yet.
  bool Waiting() const;
  // A last try, with the chain that ends at the stop if there is one, then the thread ends. The
  // console line for the chains that are not in the log.
  std::optional<std::string> Stop(const std::optional<FinishedChain>& lastChain = std::nullopt);

 private:
  void HandOver(const FinishedChain& chain);  // under mutex_
  void Run();
  // Writer thread: tries to append every waiting chain and reports what changed. `last` when no
  // try follows.
  void WriteWaiting(bool last);
  // Appends the waiting chains, a piece at a time; how many of them reached the file.
  std::size_t AppendWaiting(std::error_code& error);
  void Failed(const std::string& reason, bool last);
  void WakeWriter(std::unique_lock<std::mutex>& lock);

  std::filesystem::path log_;
  Callbacks callbacks_;
  std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  // Guarded by mutex_.
  std::vector<FinishedChain> handedOver_;  // keeps its storage, so handing over allocates nothing
  std::uint64_t droppedAtHandOver_ = 0;
  std::size_t waitingCount_ = 0;  // the writer's waiting_.size()
  bool tryNow_ = false;
  bool stopping_ = false;
  bool idle_ = false;  // the writer sleeps and must be woken

  // Writer thread only (and the game thread after the join).
  std::deque<FinishedChain> waiting_;
  std::uint64_t dropped_ = 0;
  bool failing_ = false;
  std::uint64_t writtenSinceFault_ = 0;
};

}  // namespace quillon
