#include "ChainLogWriter.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "AppendOnlyFile.h"
#include "ChainLog.h"

namespace quillon {
namespace {

// Chains are formatted and written a piece of about this size at a time, so a write that fails
// wastes the formatting of one piece at most.
constexpr std::size_t kPieceBytes = 64 * 1024;

// What the log needs before the next chain's line: the rest of a header that a write cut short
// (all of it in an empty log), or a newline when the last line was cut short, so it never merges
// with the new one.
std::string BeforeTheNextLine(AppendOnlyFile& file) {
  const std::string header = std::string(kChainLogHeader) + '\n';
  const std::optional<std::string> tail = file.Tail(header.size());
  if (!tail) return "\n";
  if (file.Size() <= header.size() && header.starts_with(*tail)) {
    return header.substr(tail->size());
  }
  return tail->ends_with('\n') ? "" : "\n";
}

}  // namespace

ChainLogWriter::~ChainLogWriter() {
  Stop();
}

std::optional<std::string> ChainLogWriter::Start(std::filesystem::path log, Callbacks callbacks) {
  Stop();
  log_ = std::move(log);
  callbacks_ = std::move(callbacks);
  stopping_ = false;
  failing_ = false;
  try {
    // Room for the chains of a long stall, so handing over allocates nothing on the game thread.
    handedOver_.reserve(kHandOverRoom);
    thread_ = std::thread(&ChainLogWriter::Run, this);
  } catch (const std::exception& fault) {
    return "Quillon: cannot start writing the chain log (" + std::string(fault.what()) +
           "); the statistics are kept in memory only";
  }
  return std::nullopt;
}

void ChainLogWriter::Add(const FinishedChain& chain) {
  if (!Running()) return;
  std::unique_lock lock(mutex_);
  HandOver(chain);
  WakeWriter(lock);
}

void ChainLogWriter::HandOver(const FinishedChain& chain) {
  if (handedOver_.size() >= kMaxWaiting) {
    handedOver_.erase(handedOver_.begin());
    ++droppedAtHandOver_;
  }
  handedOver_.push_back(chain);
}

void ChainLogWriter::Retry() {
  if (!Running()) return;
  std::unique_lock lock(mutex_);
  WakeWriter(lock);
}

void ChainLogWriter::WakeWriter(std::unique_lock<std::mutex>& lock) {
  tryNow_ = true;
  const bool sleeping = idle_;
  lock.unlock();
  // A busy writer looks for more work before it sleeps: only a sleeping one needs the call.
  if (sleeping) wake_.notify_one();
}

bool ChainLogWriter::Waiting() const {
  const std::lock_guard lock(mutex_);
  return !handedOver_.empty() || waitingCount_ > 0;
}

std::optional<std::string> ChainLogWriter::Stop(const std::optional<FinishedChain>& lastChain) {
  if (!Running()) return std::nullopt;
  {
    // Handed over with the stop, so the writer's next try is known to be its last.
    const std::lock_guard lock(mutex_);
    if (lastChain) HandOver(*lastChain);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  const std::uint64_t lost =
      waiting_.size() + handedOver_.size() + dropped_ + std::exchange(droppedAtHandOver_, 0);
  waiting_.clear();
  handedOver_.clear();
  dropped_ = 0;
  waitingCount_ = 0;
  if (lost == 0) return std::nullopt;
  return "Quillon: " + std::to_string(lost) + " chain(s) could not be written to " +
         QuotedPath(log_);
}

void ChainLogWriter::Run() {
  for (bool last = false; !last;) {
    {
      std::unique_lock lock(mutex_);
      idle_ = true;
      wake_.wait(lock, [this] { return tryNow_ || stopping_; });
      idle_ = false;
      tryNow_ = false;
      last = stopping_;
      try {
        waiting_.insert(waiting_.end(), handedOver_.begin(), handedOver_.end());
        handedOver_.clear();
      } catch (const std::bad_alloc&) {
        // They stay handed over for the next try.
      }
      dropped_ += std::exchange(droppedAtHandOver_, 0);
      for (; waiting_.size() > kMaxWaiting; ++dropped_) waiting_.pop_front();
      waitingCount_ = waiting_.size();
    }
    try {
      if (!waiting_.empty()) WriteWaiting(last);
    } catch (const std::exception&) {
      // Out of memory while reporting: the chains stay waiting, and nothing reaches the host.
    }
    const std::lock_guard lock(mutex_);
    waitingCount_ = waiting_.size();
  }
}

void ChainLogWriter::WriteWaiting(bool last) {
  std::size_t written = 0;
  std::string reason;
  try {
    std::error_code error;
    std::filesystem::create_directories(log_.parent_path(), error);
    if (error) {
      reason = "cannot make its folder: " + error.message();
    } else {
      written = AppendWaiting(error);
      if (error) reason = error.message();
    }
  } catch (const std::exception& fault) {
    reason = fault.what();
  }
  waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(written));
  if (failing_) writtenSinceFault_ += written;
  if (!reason.empty()) {
    Failed(reason, last);
    return;
  }
  if (failing_) {
    failing_ = false;
    callbacks_.report("Quillon: the chain log is writable again; " +
                      std::to_string(std::exchange(writtenSinceFault_, 0)) + " chain(s) written");
  }
  if (dropped_ > 0) {
    callbacks_.report("Quillon: " + std::to_string(std::exchange(dropped_, 0)) +
                      " chain(s) could not be written to " + QuotedPath(log_));
  }
}

std::size_t ChainLogWriter::AppendWaiting(std::error_code& error) {
  // Opened first: a log that cannot be opened costs no formatting, however many chains wait.
  AppendOnlyFile file(log_);
  if (file.OpenError()) {
    error = file.OpenError();
    return 0;
  }
  std::vector<std::uint64_t> newlines;  // where each chain's newline falls in what is appended
  std::uint64_t appended = 0;
  try {
    std::string text = BeforeTheNextLine(file);
    for (auto next = waiting_.begin(); !error && next != waiting_.end(); text.clear()) {
      for (; next != waiting_.end() && text.size() < kPieceBytes; ++next) {
        text += ChainLogLine(next->figures, next->ended);
        newlines.push_back(appended + text.size() - 1);
      }
      const auto piece = file.Append(text);
      appended += piece.bytes;
      error = piece.error;
    }
  } catch (const std::exception&) {
    error = std::make_error_code(std::errc::not_enough_memory);
  }
  if (const std::error_code closed = file.Close()) {
    // What the system held back may not have been written: the file's size says what was.
    std::error_code unknown;
    const std::uint64_t size = std::filesystem::file_size(log_, unknown);
    const std::uint64_t held = unknown || size < file.Size() ? 0 : size - file.Size();
    if (held < appended) {
      appended = held;
      if (!error) error = closed;
    }
  }
  // A line that reached the file whole but for its newline is written: the next write's
  // leading newline ends it.
  return static_cast<std::size_t>(std::upper_bound(newlines.begin(), newlines.end(), appended) -
                                  newlines.begin());
}

void ChainLogWriter::Failed(const std::string& reason, bool last) {
  if (failing_) return;
  const std::string cannotWrite =
      "Quillon: cannot write to " + QuotedPath(log_) + " (" + reason + ")";
  if (last) {
    // The count of the chains not written follows: nothing waits any more.
    callbacks_.report(cannotWrite);
    return;
  }
  {
    // A stop asked for meanwhile brings the last try at once, and that one says what is true.
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
  }
  failing_ = true;
  callbacks_.report(cannotWrite + "; finished chains wait in memory and are tried again");
  callbacks_.faulted();
}

}  // namespace quillon
