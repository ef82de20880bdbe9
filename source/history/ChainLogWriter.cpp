#include "ChainLogWriter.h"

#include <exception>
#include <system_error>
#include <utility>

#include "AppendOnlyFile.h"
#include "ChainLog.h"

namespace quillon {

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
  if (handedOver_.size() >= kMaxWaiting) {
    handedOver_.erase(handedOver_.begin());
    ++droppedAtHandOver_;
  }
  handedOver_.push_back(chain);
  WakeWriter(lock);
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

std::optional<std::string> ChainLogWriter::Stop() {
  if (!Running()) return std::nullopt;
  {
    const std::lock_guard lock(mutex_);
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
      if (!waiting_.empty()) WriteWaiting();
    } catch (const std::exception&) {
      // Out of memory while reporting: the chains stay waiting, and nothing reaches the host.
    }
    const std::lock_guard lock(mutex_);
    waitingCount_ = waiting_.size();
  }
}

void ChainLogWriter::WriteWaiting() {
  std::size_t written = 0;
  std::string reason;
  try {
    std::error_code error;
    std::filesystem::create_directories(log_.parent_path(), error);
    if (error) {
      reason = "cannot make its folder: " + error.message();
    } else {
      AppendOnlyFile file(log_);
      std::string text;
      if (!file.OpenError()) {
        if (file.Size() == 0) {
          text.append(kChainLogHeader);
          text += '\n';
        } else if (file.LastByte() != '\n') {
          // A crash cut the last line short: start on a line of its own, so it never merges.
          text += '\n';
        }
      }
      std::vector<std::size_t> lineEnds;
      lineEnds.reserve(waiting_.size());
      for (const FinishedChain& chain : waiting_) {
        text += ChainLogLine(chain.figures, chain.ended);
        lineEnds.push_back(text.size());
      }
      const auto appended = file.Append(text);
      // Only whole lines count as written; a cut one is ended by the next write's newline.
      while (written < lineEnds.size() && lineEnds[written] <= appended.bytes) ++written;
      if (appended.error) reason = appended.error.message();
    }
  } catch (const std::exception& fault) {
    reason = fault.what();
  }
  waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(written));
  if (failing_) writtenSinceFault_ += written;
  if (!reason.empty()) {
    Failed(reason);
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

void ChainLogWriter::Failed(const std::string& reason) {
  if (failing_) return;
  failing_ = true;
  callbacks_.report("Quillon: cannot write to " + QuotedPath(log_) + " (" + reason +
                    "); finished chains wait in memory and are tried again");
  callbacks_.faulted();
}

}  // namespace quillon
