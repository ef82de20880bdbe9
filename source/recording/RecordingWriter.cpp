#include "RecordingWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

#include "RecordingText.h"

namespace quillon::recording {
namespace {

// The practice check comes this long after a game event begins, in a replay as in play.
constexpr std::int64_t kCheckTicks = 3 * kTicksPerSecond;
// While a recording is open the writer looks into the ring this often without being asked.
constexpr auto kLookInterval = std::chrono::milliseconds(20);
constexpr std::size_t kBatch = 256;
constexpr std::size_t kFlushAt = 64 * 1024;
constexpr int kMaxScreenSide = 8192;

std::string_view EndWords(EndReason reason) {
  switch (reason) {
    case EndReason::kDestroyed:
      return "the game event ended";
    case EndReason::kUnload:
      return "the plugin was unloaded";
    case EndReason::kSwitchedOff:
      return "recording was switched off";
    case EndReason::kPracticeEnded:
      return "the practice check found no practice any more";
  }
  return "";
}

std::string SizeWords(std::uint64_t bytes) {
  constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
  if (bytes % kMebibyte == 0) return std::to_string(bytes / kMebibyte) + " MiB";
  return std::to_string(bytes) + " bytes";
}

void AppendColor(std::string& out, const float* rgba) {
  out += "\"(";
  for (int i = 0; i < 4; ++i) {
    if (i > 0) out += ", ";
    AppendNumber(out, rgba[i]);
  }
  out += ")\"";
}

}  // namespace

struct RecordingWriter::Session {
  StepRecord begin;
  bool live = false;
  std::size_t settingsDue = 0;
  std::vector<StepRecord> headerSettings;
  std::vector<StepRecord> held;  // before the practice check decided
  bool open = false;
  bool checked = false;  // lines from here on come after the replay's practice check
  bool stopped = false;  // a fault or the size limit: nothing more is written
  GameMode headerMode = GameMode::kFreeplay;
  RecordingFile file;
  std::string name;
  std::string text;
  std::uint64_t bytes = 0;
  bool expectations = true;
  bool lostReported = false;
  // The last line of each kind written, so a value read again unchanged is not written twice.
  std::string mode, ball, car, gameState, screen;
};

RecordingWriter::RecordingWriter(RecordBuffer& buffer, WriterSetup setup)
    : buffer_(buffer), setup_(std::move(setup)), batch_(kBatch) {}

RecordingWriter::~RecordingWriter() {
  Stop();
}

void RecordingWriter::Start() {
  if (thread_.joinable()) return;
  stopping_ = false;
  thread_ = std::thread([this] { Run(); });
}

void RecordingWriter::Stop() {
  if (thread_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  Drain();
  if (session_) Close("# the recording ends here: the plugin was unloaded");
}

void RecordingWriter::Wake() {
  {
    const std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_one();
}

void RecordingWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const bool stopping = stopping_;
    woken_ = false;
    lock.unlock();
    Drain();
    lock.lock();
    if (stopping) return;
    const auto asked = [this] { return woken_ || stopping_; };
    if (session_) {
      wake_.wait_for(lock, kLookInterval, asked);
    } else {
      wake_.wait(lock, asked);
    }
  }
}

void RecordingWriter::Drain() {
  for (;;) {
    const std::size_t count = buffer_.Pop(batch_);
    for (std::size_t i = 0; i < count; ++i) Take(batch_[i]);
    if (count < batch_.size()) break;
  }
  Flush();
}

std::string RecordingWriter::OpenRecording() const {
  const std::lock_guard lock(mutex_);
  return openName_;
}

void RecordingWriter::SetOpenName(std::string name) {
  const std::lock_guard lock(mutex_);
  openName_ = std::move(name);
}

void RecordingWriter::Take(const StepRecord& record) {
  if (record.kind == StepKind::kBegin) {
    Begin(record);
    return;
  }
  if (!session_) return;
  Session& s = *session_;
  if (record.kind == StepKind::kDiscard || (record.kind == StepKind::kEnd && !s.open)) {
    Forget();
    return;
  }
  if (record.kind == StepKind::kEnd) {
    Close("# the recording ends here: " + std::string(EndWords(EndReason{record.code})));
    return;
  }
  if (s.stopped) return;
  if (s.settingsDue > 0) {
    if (record.kind == StepKind::kSetting) {
      s.headerSettings.push_back(record);
      if (--s.settingsDue == 0 && s.live) Open(s.begin);
      return;
    }
    // Settings lost in a full ring: the header makes do with those that came.
    s.settingsDue = 0;
    if (s.live) Open(s.begin);
    if (!session_ || session_->stopped) return;
  }
  if (record.kind == StepKind::kOpen) {
    if (!s.open) Open(record);
    return;
  }
  if (!s.open) {
    s.held.push_back(record);
    return;
  }
  Write(record);
  if (s.text.size() >= kFlushAt) Flush();
}

void RecordingWriter::Begin(const StepRecord& record) {
  if (session_) Close("# the recording ends here: a new one begins");
  session_ = std::make_unique<Session>();
  Session& s = *session_;
  s.begin = record;
  s.live = (record.code & begin::kLive) != 0;
  s.headerMode = static_cast<GameMode>(record.count);
  s.settingsDue = static_cast<std::size_t>(record.number);
  if (s.settingsDue == 0 && s.live) Open(record);
}

void RecordingWriter::Open(const StepRecord& record) {
  Session& s = *session_;
  if (!s.live) s.headerMode = static_cast<GameMode>(record.code);
  s.open = true;
  if (setup_.folder.empty()) {
    if (!noFolderReported_) {
      setup_.report("Quillon: the host has no data folder; practice is not recorded");
      noFolderReported_ = true;
    }
    s.stopped = true;
    return;
  }
  if (const auto fault = s.file.Create(setup_.folder, FileStamp(s.begin.utc))) {
    setup_.report("Quillon: cannot record this practice: " + *fault + "; play goes on");
    s.stopped = true;
    return;
  }
  s.name = s.file.ShortName();
  SetOpenName(s.name);
  WriteHeader();
  if (s.live) {
    WritePreamble();
  } else {
    for (const StepRecord& held : s.held) Write(held);
    s.held.clear();
  }
  s.checked = true;
}

void RecordingWriter::Forget() {
  session_.reset();
  SetOpenName({});
}

void RecordingWriter::Close(std::string_view lastLine) {
  Session& s = *session_;
  if (s.open && !s.stopped) {
    s.text += lastLine;
    s.text += '\n';
    Flush();
    s.file.Close();
  }
  Forget();
}

void RecordingWriter::Flush() {
  if (!session_) return;
  Session& s = *session_;
  if (s.text.empty() || s.stopped || !s.open) return;
  std::string_view text = s.text;
  bool full = false;
  if (s.bytes + text.size() > setup_.sizeLimit) {
    // Whole lines only, so the file stays a script up to its last line.
    const std::size_t room = static_cast<std::size_t>(setup_.sizeLimit - s.bytes);
    const std::size_t cut = text.substr(0, room).rfind('\n');
    text = cut == std::string_view::npos ? std::string_view{} : text.substr(0, cut + 1);
    full = true;
  }
  std::string why;
  if (!text.empty() && !s.file.Append(text, why)) {
    setup_.report("Quillon: cannot write the recording '" + s.name + "' (" + why +
                  "); it stops here and play goes on");
    s.stopped = true;
  } else if (full) {
    setup_.report("Quillon: the recording '" + s.name + "' reached its size limit of " +
                  SizeWords(setup_.sizeLimit) + " and stops here; play goes on");
    s.stopped = true;
  }
  s.bytes += text.size();
  s.text.clear();
  if (s.stopped) {
    s.file.Close();
    SetOpenName({});
  }
}

std::int64_t RecordingWriter::ReplayTicks(const StepRecord& record) const {
  const Session& s = *session_;
  const std::int64_t since = ScriptTicks(record.ticks - s.begin.ticks, s.begin.wide);
  if (s.live) return kCheckTicks + since;
  // The replay's practice check runs at exactly 3 s; what came before it in play stays before.
  return s.checked ? std::max(since, kCheckTicks) : std::min(since, kCheckTicks - 1);
}

void RecordingWriter::WriteHeader() {
  Session& s = *session_;
  std::string& out = s.text;
  out += "# Recorded by " + setup_.writtenBy + " on " + ReadableUtc(s.begin.utc) + " in " +
         std::string(ModeWords(s.headerMode)) + "\n";
  if (s.live) {
    out +=
        "# Switched on during play: the steps at 3.000 bring the tracker to where play was, and\n"
        "# the overlay is checked once it no longer shows what came before the recording\n";
  } else {
    out += "# From the start of the game event\n";
  }
  out += "# Replay it to check it: quillon-host " + s.name + "\n";
  s.mode = "mode " + std::string(ModeName(s.headerMode));
  out += "0.000 " + s.mode + "\n";
  for (const StepRecord& setting : s.headerSettings) WriteSetting(0, setting);
  s.headerSettings.clear();
  out += "0.000 event init\n";
}

void RecordingWriter::WritePreamble() {
  Session& s = *session_;
  const std::uint8_t state = s.begin.flags;
  const bool awaitingDodge = (state & play::kAwaitingDodge) != 0;
  const bool chainEnded = (state & play::kChainEnded) != 0;
  const bool timing = (state & play::kTiming) != 0;
  std::vector<std::string_view> steps;
  if (awaitingDodge && chainEnded && !timing) steps.push_back("event roundstart");
  if (!chainEnded) steps.push_back("event jump");
  if ((state & play::kPauseMenuOpen) != 0) steps.push_back("event pause");
  if (timing) {
    s.gameState = "gamestate present";
    s.ball = "ball 0 0 93.15";
    s.car = "car 0 0 100";
    for (std::string_view step : {std::string_view(s.gameState), std::string_view(s.ball),
                                  std::string_view(s.car), std::string_view("event landed")}) {
      steps.push_back(step);
    }
    if (!awaitingDodge) steps.push_back("event dodge");
  }
  if ((state & play::kBallExploded) != 0) steps.push_back("event explode");
  for (std::string_view step : steps) {
    AppendTime(s.text, kCheckTicks);
    s.text += ' ';
    s.text += step;
    s.text += '\n';
  }
}

void RecordingWriter::Uncheckable(std::int64_t time, std::string_view why) {
  Session& s = *session_;
  AppendTime(s.text, time);
  s.text += " # ";
  s.text += why;
  s.text += "; from here on nothing is checked\n";
  s.expectations = false;
}

void RecordingWriter::WriteLocation(std::int64_t time, std::string_view step,
                                    const StepRecord& record) {
  Session& s = *session_;
  std::string line(step);
  if (record.code == 0) {
    line += " none";
  } else {
    for (int i = 0; i < 3; ++i) {
      if (!std::isfinite(record.values[i])) {
        Uncheckable(time, std::string(step) + " at a place a script cannot name");
        return;
      }
      line += ' ';
      AppendNumber(line, record.values[i]);
    }
  }
  std::string& last = record.kind == StepKind::kBall ? s.ball : s.car;
  if (line == last) return;
  last = line;
  AppendTime(s.text, time);
  s.text += ' ' + line + '\n';
}

void RecordingWriter::WriteSetting(std::int64_t time, const StepRecord& record) {
  Session& s = *session_;
  if (record.code >= setup_.settings.size()) return;
  const WatchedSetting& setting = setup_.settings[record.code];
  std::string line = "set ";
  line += setting.name;
  line += ' ';
  switch (setting.type) {
    case SettingType::kSwitch:
    case SettingType::kInteger:
      AppendNumber(line, record.number);
      break;
    case SettingType::kFloat:
      if (!std::isfinite(record.values[0])) {
        Uncheckable(time, std::string(setting.name) + " holds a value a script cannot set");
        return;
      }
      AppendNumber(line, record.values[0]);
      break;
    case SettingType::kColor:
      AppendColor(line, record.values);
      break;
  }
  AppendTime(s.text, time);
  s.text += ' ' + line + '\n';
}

void RecordingWriter::Write(const StepRecord& record) {
  Session& s = *session_;
  const std::int64_t time = ReplayTicks(record);
  std::string& out = s.text;
  const auto line = [&](std::string_view action) {
    AppendTime(out, time);
    out += ' ';
    out += action;
    out += '\n';
  };
  switch (record.kind) {
    case StepKind::kEvent:
      // The most frequent line, written with no text made on the way.
      AppendTime(out, time);
      out += " event ";
      out += EventName(GameEvent{record.code});
      out += '\n';
      break;
    case StepKind::kMode: {
      std::string mode = "mode " + std::string(ModeName(GameMode{record.code}));
      if (mode != s.mode) line(s.mode = std::move(mode));
      break;
    }
    case StepKind::kBall:
      WriteLocation(time, "ball", record);
      break;
    case StepKind::kCar:
      WriteLocation(time, "car", record);
      break;
    case StepKind::kGameState: {
      std::string state = record.code != 0 ? "gamestate present" : "gamestate none";
      if (state != s.gameState) line(s.gameState = std::move(state));
      break;
    }
    case StepKind::kSetting:
      WriteSetting(time, record);
      break;
    case StepKind::kScreen: {
      const auto width = static_cast<std::int64_t>(record.count);
      const auto height = static_cast<std::int64_t>(record.number);
      if (width < 1 || height < 1 || width > kMaxScreenSide || height > kMaxScreenSide) {
        Uncheckable(time, "a screen size a script cannot name");
        break;
      }
      std::string screen = "screen " + std::to_string(width) + ' ' + std::to_string(height);
      if (screen != s.screen) line(s.screen = std::move(screen));
      break;
    }
    case StepKind::kFrame: {
      line("frame");
      if ((record.flags & frame::kExpect) == 0 || !s.expectations) break;
      const std::string text =
          (record.flags & frame::kShown) != 0 ? setup_.overlayText(record) : "(nothing drawn)";
      if (text.find_first_of("\"\n\r") == std::string::npos) line("expect \"" + text + "\"");
      break;
    }
    case StepKind::kLost:
      out += "# " + std::to_string(record.wide) + " steps lost here\n";
      s.expectations = false;
      if (!s.lostReported) {
        setup_.report("Quillon: the recording '" + s.name +
                      "' fell behind the game and lost steps; the file says where, and "
                      "checks nothing after them");
        s.lostReported = true;
      }
      break;
    default:
      break;
  }
}

}  // namespace quillon::recording
