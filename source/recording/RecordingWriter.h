#pragma once
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "RecordBuffer.h"
#include "RecordingFeed.h"
#include "RecordingFile.h"

namespace quillon::recording {

struct WriterSetup {
  std::filesystem::path folder;  // DATA/quillon/recordings; empty when the host has no data folder
  std::vector<WatchedSetting> settings;  // names and types of the recorded variables, in order
  std::string writtenBy;                 // the module's name and version, for the first line
  std::function<void(const std::string&)> report;  // a console line; called on the writer thread
  // The host's frame line for a frame that shows the overlay.
  std::function<std::string(const StepRecord&)> overlayText;
  std::uint64_t sizeLimit = std::uint64_t{64} << 20;
};

// The writer thread of practice recordings: takes the game thread's step records from the ring,
// turns them into session-script lines and appends them to one file per recording. A recording
// that begins at a game event's start is held in memory until the practice check has found free
// play or custom training, and forgotten otherwise.
class RecordingWriter {
 public:
  RecordingWriter(RecordBuffer& buffer, WriterSetup setup);
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;
  ~RecordingWriter();

  void Start();
  // Writes what is left in the ring, closes the file and ends the thread.
  void Stop();
  // Any thread: asks the writer to look at the ring now.
  void Wake();
  // Takes everything in the ring. The writer thread's work; a test may call it with no thread.
  void Drain();
  // "recordings/NAME.session" while a recording's file is open; empty otherwise. Any thread.
  std::string OpenRecording() const;

 private:
  struct Session;

  void Run();
  void Take(const StepRecord& record);
  void Begin(const StepRecord& record);
  void Open(const StepRecord& record);
  void Close(std::string_view lastLine);
  void Forget();
  void Write(const StepRecord& record);
  void WriteHeader();
  void WritePreamble();
  void WriteLocation(std::int64_t time, std::string_view step, const StepRecord& record);
  void WriteSetting(std::int64_t time, const StepRecord& record);
  void Uncheckable(std::int64_t time, std::string_view why);
  std::int64_t ReplayTicks(const StepRecord& record) const;
  void Flush();
  void SetOpenName(std::string name);

  RecordBuffer& buffer_;
  WriterSetup setup_;
  std::thread thread_;
  std::vector<StepRecord> batch_;
  std::unique_ptr<Session> session_;
  bool noFolderReported_ = false;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
  bool stopping_ = false;
  std::string openName_;  // guarded by mutex_
};

}  // namespace quillon::recording
