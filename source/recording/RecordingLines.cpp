#include "RecordingLines.h"

#include <cmath>
#include <utility>

#include "RecordingText.h"

namespace quillon::recording {
namespace {

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

void AppendLine(std::string& out, std::int64_t time, std::string_view action) {
  AppendTime(out, time);
  out += ' ';
  out += action;
  out += '\n';
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

// Each kind of step to its lines; the steps that only change the writer's state have none.
struct RecordingLines::LineOf {
  RecordingLines& lines;
  std::string& out;
  std::int64_t time;

  void operator()(const EventStep& step) const {
    // The most frequent line, written with no text made on the way.
    AppendTime(out, time);
    out += " event ";
    out += EventName(step.event);
    out += '\n';
  }
  void operator()(const ModeStep& step) const {
    const std::string mode = "mode " + std::string(ModeName(step.mode));
    if (lines.last_.Changed(LastLines::kMode, mode)) AppendLine(out, time, mode);
  }
  void operator()(const GameStateStep& step) const {
    const std::string_view state = step.present ? "gamestate present" : "gamestate none";
    if (lines.last_.Changed(LastLines::kGameState, state)) AppendLine(out, time, state);
  }
  void operator()(const BallStep& step) const {
    lines.AppendPlace(out, time, LastLines::kBall, "ball", step);
  }
  void operator()(const CarStep& step) const {
    lines.AppendPlace(out, time, LastLines::kCar, "car", step);
  }
  void operator()(const SettingStep& step) const { lines.AppendSetting(out, time, step); }
  void operator()(const ScreenStep& step) const { lines.AppendScreen(out, time, step); }
  void operator()(const FrameStep& step) const { lines.AppendFrame(out, time, step); }
  void operator()(const LostStep& step) const {
    // A step the replay reads, so it can say that it cannot check what follows.
    AppendLine(out, time, "lost " + std::to_string(step.count));
    lines.checking_ = false;
  }
  void operator()(const BeginStep&) const {}
  void operator()(const OpenStep&) const {}
  void operator()(const DiscardStep&) const {}
  void operator()(const EndStep& step) const {
    out += "# the recording ends here: ";
    out += EndWords(step.reason);
    out += '\n';
  }
};

void RecordingLines::Append(std::string& out, std::int64_t time, const Step& step) {
  std::visit(LineOf{*this, out, time}, step);
}

void RecordingLines::AppendHeader(std::string& out, const Header& header) {
  out += "# Recorded by " + std::string(header.writtenBy) + " on " + ReadableUtc(header.utc) +
         " in " + std::string(ModeWords(header.mode)) + "\n";
  if (header.live) {
    out +=
        "# Switched on during play: the steps at 3.000 bring the tracker to where play was, and\n"
        "# the overlay is checked once it no longer shows what came before the recording\n";
  } else {
    out += "# From the start of the game event\n";
  }
  out += "# Replay it to check it: quillon-host " + std::string(header.name) + "\n";
  const std::string mode = "mode " + std::string(ModeName(header.mode));
  last_.Changed(LastLines::kMode, mode);
  AppendLine(out, 0, mode);
  for (const SettingStep& setting : header.settings) AppendSetting(out, 0, setting);
  out += "0.000 event init\n";
}

void RecordingLines::AppendPreamble(std::string& out, std::int64_t time, std::uint8_t playState) {
  const bool awaitingDodge = (playState & play::kAwaitingDodge) != 0;
  const bool chainEnded = (playState & play::kChainEnded) != 0;
  const bool timing = (playState & play::kTiming) != 0;
  std::vector<std::string_view> steps;
  if (awaitingDodge && chainEnded && !timing) steps.push_back("event roundstart");
  if (!chainEnded) steps.push_back("event jump");
  if ((playState & play::kPauseMenuOpen) != 0) steps.push_back("event pause");
  if (timing) {
    // A reset, so the stopwatch holds a timing as in play.
    const std::pair<LastLines::Kind, std::string_view> reads[] = {
        {LastLines::kGameState, "gamestate present"},
        {LastLines::kBall, "ball 0 0 93.15"},
        {LastLines::kCar, "car 0 0 100"}};
    for (const auto& [kind, line] : reads) {
      last_.Changed(kind, line);
      steps.push_back(line);
    }
    steps.push_back("event landed");
    if (!awaitingDodge) steps.push_back("event dodge");
  }
  if ((playState & play::kBallExploded) != 0) steps.push_back("event explode");
  for (std::string_view step : steps) AppendLine(out, time, step);
}

void RecordingLines::Unchecked(std::string& out, std::int64_t time, std::string_view why) {
  AppendTime(out, time);
  out += " # ";
  out += why;
  out += "; from here on nothing is checked\n";
  checking_ = false;
}

void RecordingLines::AppendPlace(std::string& out, std::int64_t time, LastLines::Kind kind,
                                 std::string_view step, const PlaceStep& place) {
  std::string line(step);
  if (!place.present) {
    line += " none";
  } else {
    for (const float value : {place.x, place.y, place.z}) {
      if (!std::isfinite(value)) {
        Unchecked(out, time, std::string(step) + " at a place a script cannot name");
        return;
      }
      line += ' ';
      AppendNumber(line, value);
    }
  }
  if (last_.Changed(kind, line)) AppendLine(out, time, line);
}

void RecordingLines::AppendSetting(std::string& out, std::int64_t time,
                                   const SettingStep& setting) {
  if (setting.index >= settings_.size()) return;
  const WatchedSetting& watched = settings_[setting.index];
  std::string line = "set ";
  line += watched.name;
  line += ' ';
  switch (watched.type) {
    case SettingType::kSwitch:
    case SettingType::kInteger:
      AppendNumber(line, setting.integer);
      break;
    case SettingType::kFloat:
      if (!std::isfinite(setting.floats[0])) {
        Unchecked(out, time, std::string(watched.name) + " holds a value a script cannot set");
        return;
      }
      AppendNumber(line, setting.floats[0]);
      break;
    case SettingType::kColor:
      AppendColor(line, setting.floats);
      break;
  }
  AppendLine(out, time, line);
}

void RecordingLines::AppendScreen(std::string& out, std::int64_t time, const ScreenStep& screen) {
  if (screen.width < 1 || screen.height < 1 || screen.width > kMaxScreenSide ||
      screen.height > kMaxScreenSide) {
    Unchecked(out, time, "a screen size a script cannot name");
    return;
  }
  const std::string line =
      "screen " + std::to_string(screen.width) + ' ' + std::to_string(screen.height);
  if (last_.Changed(LastLines::kScreen, line)) AppendLine(out, time, line);
}

void RecordingLines::AppendFrame(std::string& out, std::int64_t time, const FrameStep& frame) {
  AppendLine(out, time, "frame");
  if (!frame.expect || !checking_) return;
  const std::string text = frame.shown ? overlayText_(frame) : "(nothing drawn)";
  if (text.find_first_of("\"\n\r") == std::string::npos) {
    AppendLine(out, time, "expect \"" + text + "\"");
  }
}

}  // namespace quillon::recording
