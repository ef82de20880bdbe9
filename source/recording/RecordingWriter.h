#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleHandOff.h"
#include "RecordBuffer.h"
#include "RecordingFeed.h"
#include "RecordingLines.h"
#include "RecordingStatus.h"

namespace quillon::recording {

struct WriterSetup {
  std::filesystem::path folder;  // DATA/quillon/recordings; empty when the host has no data folder
  std::vector<WatchedSetting> settings;  // names and types of the recorded variables, in order
  std::string writtenBy;                 // the module's name and version, for the first line
  // A console line; called on the game thread: through `toGameThread` (the host's Execute) for
  // the writer thread's lines, and at Stop for those still waiting. Without `toGameThread`, on
  // whichever thread drains the ring (a test's).
  ConsoleHandOff::Console report;
  ConsoleHandOff::ToGameThread toGameThread;
  OverlayText overlayText;
  // The page's line, set by the game thread; the writer corrects it where the file's name was
  // taken, clears it where a recording stops on a fault, and says why where no file is written.
  // May be null.
  RecordingStatus* status = nullptr;
  std::uint64_t sizeLimit = std::uint64_t{64} << 20;
  // How long the unload waits for steps to be written; those still waiting then are counted as
  // lost, written as such and said.
  std::chrono::milliseconds unloadWait{500};
};

// The writer thread of practice recordings: takes the game thread's step records from the ring
// and follows each recording through its states: begun, held in memory until the practice check
// has found free play or custom training (or forgotten when it finds none), written, ended. The
// lines come from RecordingLines, the file's size limit and faults are RecordingOutput's.
class RecordingWriter {
 public:
  RecordingWriter(RecordBuffer& buffer, WriterSetup setup);
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;
  ~RecordingWriter();

  void Start();
  // Game thread, at unload: the writer's thread writes what is left in the ring (counting as
  // lost what it cannot write within `unloadWait`) and closes the file; then the console lines
  // still waiting are written. The game thread does no file work; a thread is started for it
  // where none runs.
  void Stop();
  // Ends the thread and leaves the ring to whoever drains it (a test that holds the writer up).
  void Hold();
  // Game thread, where waiting costs the game nothing (the host's time is virtual): waits until
  // the writer's thread has taken everything handed over so far, and said what came of it.
  void CatchUp();
  // Any thread: asks the writer to look at the ring now.
  void Wake();
  // Takes everything in the ring. The writer thread's work; a test may call it with no thread.
  void Drain();
  // Game thread: a recording of practice in the game event `gameEvent` could not begin, the
  // writer being too far behind to keep it; the writer thread says so on the console, once for
  // each game event however often it was tried.
  void CouldNotRecord(std::uint64_t gameEvent);

 private:
  struct Session;

  void Run();
  void DrainBy(std::chrono::steady_clock::time_point stopBy);
  // Steps of play, which a hurried unload counts instead of writing.
  static bool IsPlay(const Step& step);
  void CountUnwritten(const StepRecord& record);
  void WriteUnwritten();
  void Take(const StepRecord& record);
  void Begin(std::int64_t ticks, const BeginStep& begin);
  void Open(std::uint32_t copy);
  void End(const StepRecord& record);
  void CloseWith(std::string_view lastLine);
  void Forget();
  void Write(const StepRecord& record);
  void Flush();
  // A fault or the size limit stopped the file: the page no longer names it.
  void NoteStopped();
  std::int64_t ReplayTicks(std::int64_t ticks) const;

  RecordBuffer& buffer_;
  WriterSetup setup_;
  std::thread thread_;
  std::vector<StepRecord> batch_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<ConsoleHandOff> handOff_;
  bool noFolderReported_ = false;
  std::uint64_t begun_ = 0;  // recordings, as RecordingStatus numbers them
  std::size_t popped_ = 0;   // records taken from the ring, by whichever thread drains it
  bool hurried_ = false;     // the unload's wait is over
  std::uint64_t unwritten_ = 0;
  std::int64_t unwrittenTicks_ = 0;
  bool running_ = false;                   // game thread's: the thread runs and takes the ring
  bool finished_ = false;                  // game thread's: stopped for good
  std::atomic<std::uint32_t> refused_{0};  // game events
  std::uint64_t lastRefused_ = std::numeric_limits<std::uint64_t>::max();  // game thread's

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable caughtUp_;
  bool woken_ = false;
  bool stopping_ = false;   // the thread ends
  bool finishing_ = false;  // and writes the rest first, by `stopBy_`
  std::chrono::steady_clock::time_point stopBy_;
  std::size_t taken_ = 0;  // records the thread has taken and written
};

}  // namespace quillon::recording
