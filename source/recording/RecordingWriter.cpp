#include "RecordingWriter.h"

#include <algorithm>
#include <chrono>

#include "PracticeCheck.h"
#include "RecordingNames.h"
#include "RecordingOutput.h"
#include "RecordingText.h"

namespace quillon::recording {
namespace {

constexpr std::int64_t kCheckTicks = kPracticeCheckSeconds * kTicksPerSecond;
// While a recording is open the writer looks into the ring this often without being asked.
constexpr auto kLookInterval = std::chrono::milliseconds(20);
constexpr std::size_t kBatch = 256;

}  // namespace

struct RecordingWriter::Session {
  enum class Phase {
    kHeld,     // before the practice check decided, or before the settings came
    kWriting,  // the file is open
    kStopped,  // no file, a fault or the size limit: nothing more is written
  };

  Session(const WriterSetup& setup, std::int64_t ticks, const BeginStep& step)
      : begin(step),
        beginTicks(ticks),
        settingsDue(step.settings),
        headerMode(step.headerMode),
        lines(setup.settings, setup.overlayText),
        output(setup.sizeLimit, setup.report) {}

  const BeginStep begin;
  const std::int64_t beginTicks;
  Phase phase = Phase::kHeld;
  std::size_t settingsDue;
  std::vector<SettingStep> headerSettings;
  std::vector<StepRecord> held;
  bool checked = false;  // lines from here on come after the replay's practice check
  bool lostReported = false;
  GameMode headerMode;
  std::uint64_t number = 0;  // which recording of the load, as the page counts them
  RecordingLines lines;
  RecordingOutput output;
};

RecordingWriter::RecordingWriter(RecordBuffer& buffer, WriterSetup setup)
    : buffer_(buffer), setup_(std::move(setup)), batch_(kBatch) {
  if (setup_.toGameThread) {
    handOff_ = std::make_unique<ConsoleHandOff>(std::move(setup_.report), setup_.toGameThread);
    setup_.report = [handOff = handOff_.get()](const std::string& line) { handOff->Say(line); };
  }
}

RecordingWriter::~RecordingWriter() {
  Stop();
}

void RecordingWriter::Start() {
  if (thread_.joinable()) return;
  stopping_ = false;
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

void RecordingWriter::Stop() {
  if (finished_) return;
  {
    const std::lock_guard lock(mutex_);
    finishing_ = true;
    stopBy_ = std::chrono::steady_clock::now() + setup_.unloadWait;
  }
  // The rest is written on the writer's thread, never the caller's: one is started where a test
  // took the ring itself, and finishes at once.
  Start();
  wake_.notify_one();
  thread_.join();
  running_ = false;
  finished_ = true;
  // The game thread may run no more of the functions handed to it.
  if (handOff_) handOff_->Deliver();
}

void RecordingWriter::Hold() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  running_ = false;
}

void RecordingWriter::CatchUp() {
  if (!running_) return;
  const std::size_t pushed = buffer_.Pushed();
  std::unique_lock lock(mutex_);
  woken_ = true;
  wake_.notify_one();
  caughtUp_.wait(lock, [&] { return taken_ >= pushed; });
}

void RecordingWriter::Wake() {
  {
    const std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_one();
}

void RecordingWriter::CouldNotRecord(std::uint64_t gameEvent) {
  if (gameEvent == lastRefused_) return;
  lastRefused_ = gameEvent;
  refused_.fetch_add(1, std::memory_order_relaxed);
  Wake();
}

void RecordingWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const bool stopping = stopping_;
    const bool finishing = finishing_;
    const auto stopBy = stopBy_;
    woken_ = false;
    lock.unlock();
    if (finishing) {
      DrainBy(stopBy);
      if (session_) CloseWith("# the recording ends here: the plugin was unloaded");
    } else {
      Drain();
    }
    lock.lock();
    taken_ = popped_;
    caughtUp_.notify_all();
    if (stopping || finishing) return;
    const auto asked = [this] { return woken_ || stopping_ || finishing_; };
    if (session_) {
      wake_.wait_for(lock, kLookInterval, asked);
    } else {
      wake_.wait(lock, asked);
    }
  }
}

void RecordingWriter::Drain() {
  DrainBy(std::chrono::steady_clock::time_point::max());
}

void RecordingWriter::DrainBy(std::chrono::steady_clock::time_point stopBy) {
  for (;;) {
    // Past the time given, steps of play are only counted: the unload waits no longer.
    if (!hurried_ && std::chrono::steady_clock::now() >= stopBy) hurried_ = true;
    const std::size_t count = buffer_.Pop(batch_);
    popped_ += count;
    for (std::size_t i = 0; i < count; ++i) {
      if (hurried_ && IsPlay(batch_[i].step)) {
        CountUnwritten(batch_[i]);
      } else {
        WriteUnwritten();
        Take(batch_[i]);
      }
    }
    if (count < batch_.size()) break;
  }
  WriteUnwritten();
  Flush();
  if (const std::uint32_t refused = refused_.exchange(0, std::memory_order_relaxed)) {
    const std::string what = refused == 1 ? std::string("this practice")
                                          : std::to_string(refused) + " practice game events";
    setup_.report("Quillon: cannot record " + what +
                  ": the recording's writer is too far behind the game; play goes on");
  }
}

void RecordingWriter::Take(const StepRecord& record) {
  if (const auto* begin = std::get_if<BeginStep>(&record.step)) {
    Begin(record.ticks, *begin);
    return;
  }
  if (!session_) return;
  Session& s = *session_;
  if (s.settingsDue > 0) {
    if (const auto* setting = std::get_if<SettingStep>(&record.step)) {
      s.headerSettings.push_back(*setting);
      if (--s.settingsDue == 0 && s.begin.live) Open(s.begin.copy);
      return;
    }
    // Settings lost in a full ring: the header makes do with those that came.
    s.settingsDue = 0;
    if (s.begin.live) Open(s.begin.copy);
  }
  if (std::holds_alternative<DiscardStep>(record.step)) {
    Forget();
  } else if (std::holds_alternative<EndStep>(record.step)) {
    End(record);
  } else if (const auto* open = std::get_if<OpenStep>(&record.step)) {
    if (s.phase != Session::Phase::kHeld) return;
    s.headerMode = open->found;
    Open(open->copy);
  } else if (s.phase == Session::Phase::kHeld) {
    s.held.push_back(record);
  } else if (s.phase == Session::Phase::kWriting) {
    Write(record);
    s.output.FlushWhenLarge();
    NoteStopped();
  }
}

void RecordingWriter::Begin(std::int64_t ticks, const BeginStep& begin) {
  if (session_) CloseWith("# the recording ends here: a new one begins");
  session_ = std::make_unique<Session>(setup_, ticks, begin);
  session_->number = ++begun_;
  if (begin.settings == 0 && begin.live) Open(begin.copy);
}

void RecordingWriter::Open(std::uint32_t copy) {
  Session& s = *session_;
  s.phase = Session::Phase::kStopped;
  if (setup_.folder.empty()) {
    if (!noFolderReported_) {
      setup_.report("Quillon: the host has no data folder; practice is not recorded");
      noFolderReported_ = true;
    }
    if (setup_.status != nullptr)
      setup_.status->NotRecorded(s.number, "the host has no data folder");
    return;
  }
  if (!s.output.Create(setup_.folder, FileStamp(s.begin.utc), copy)) {
    if (setup_.status != nullptr) setup_.status->NotRecorded(s.number, s.output.Fault());
    return;
  }
  // The name the writer chose: the game thread's, or the next free one after an earlier load's.
  if (setup_.status != nullptr) setup_.status->Writing(s.number, s.output.PathText());
  s.phase = Session::Phase::kWriting;
  std::string& text = s.output.Text();
  s.lines.AppendHeader(text, {setup_.writtenBy, s.begin.utc, s.headerMode, s.begin.live,
                              s.output.ShortName(), s.headerSettings});
  s.headerSettings.clear();
  if (s.begin.live) {
    s.lines.AppendPreamble(text, kCheckTicks, s.begin.playState);
  } else {
    for (const StepRecord& held : s.held) Write(held);
    s.held.clear();
  }
  s.checked = true;
}

void RecordingWriter::End(const StepRecord& record) {
  Session& s = *session_;
  if (s.phase == Session::Phase::kWriting) {
    Write(record);
    s.output.Close();
  }
  Forget();
}

void RecordingWriter::CloseWith(std::string_view lastLine) {
  Session& s = *session_;
  if (s.phase == Session::Phase::kWriting) {
    s.output.Text() += lastLine;
    s.output.Text() += '\n';
    s.output.Close();
  }
  Forget();
}

void RecordingWriter::Forget() {
  session_.reset();
}

void RecordingWriter::Flush() {
  if (!session_ || session_->phase != Session::Phase::kWriting) return;
  session_->output.Flush();
  NoteStopped();
}

void RecordingWriter::NoteStopped() {
  Session& s = *session_;
  if (s.phase != Session::Phase::kWriting || !s.output.Stopped()) return;
  s.phase = Session::Phase::kStopped;
  if (setup_.status == nullptr) return;
  // A file the fault left empty is removed: the page says this practice is not recorded.
  if (s.output.Empty()) {
    setup_.status->NotRecorded(s.number, s.output.Fault());
  } else {
    setup_.status->Stopped(s.number, s.output.Fault());
  }
}

bool RecordingWriter::IsPlay(const Step& step) {
  return !std::holds_alternative<BeginStep>(step) && !std::holds_alternative<OpenStep>(step) &&
         !std::holds_alternative<DiscardStep>(step) && !std::holds_alternative<EndStep>(step) &&
         !std::holds_alternative<SettingStep>(step);
}

void RecordingWriter::CountUnwritten(const StepRecord& record) {
  if (!session_) return;
  unwrittenTicks_ = record.ticks;
  if (const auto* lost = std::get_if<LostStep>(&record.step)) {
    unwritten_ += lost->count;
  } else {
    ++unwritten_;
  }
}

void RecordingWriter::WriteUnwritten() {
  if (unwritten_ == 0) return;
  if (session_) Take({unwrittenTicks_, LostStep{unwritten_}});
  unwritten_ = 0;
}

std::int64_t RecordingWriter::ReplayTicks(std::int64_t ticks) const {
  const Session& s = *session_;
  const std::int64_t since = ScriptTicks(ticks - s.beginTicks, s.begin.frequency);
  if (s.begin.live) return kCheckTicks + since;
  // The replay's practice check runs at exactly 3 s; what came before it in play stays before.
  return s.checked ? std::max(since, kCheckTicks) : std::min(since, kCheckTicks - 1);
}

void RecordingWriter::Write(const StepRecord& record) {
  Session& s = *session_;
  if (std::holds_alternative<LostStep>(record.step) && !s.lostReported) {
    setup_.report("Quillon: the recording '" + s.output.PathText() +
                  "' fell behind the game and lost steps; the file says where, and checks "
                  "nothing after them");
    s.lostReported = true;
  }
  s.lines.Append(s.output.Text(), ReplayTicks(record.ticks), record.step);
}

}  // namespace quillon::recording
