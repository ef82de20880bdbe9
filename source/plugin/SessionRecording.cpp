// Wires practice recordings into the plugin: the switch, the game event's start and end, the
// practice check, and what each hook and frame reads. The game thread only hands over fixed-size
// records; the recording's writer thread does the rest.
#include <chrono>
#include <cmath>

#include "ConfigVariables.h"
#include "PerformanceCounter.h"
#include "QuillonPlugin.h"
#include "imgui.h"

namespace {

using quillon::recording::EndReason;
using quillon::recording::GameEvent;
using quillon::recording::GameMode;
using quillon::recording::SettingType;

// 32,768 records of 56 bytes (1.75 MiB): minutes of the busiest play, and room enough for a
// replay in virtual time, which runs hundreds of times faster, while the writer catches up.
constexpr std::size_t kRecordRoom = 32768;

std::int64_t CounterNow() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

std::int64_t CounterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

std::int64_t UtcSecondsNow() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

// What a freshly loaded plugin shows, so a replay shows the same from the start.
bool ShowsZero(const quillon::ResetRecord& record) {
  return record.resetCount == 0 && record.resetInterval == 0.0 && record.resetHeight == 0.0f &&
         !std::signbit(record.resetHeight) && !std::signbit(record.resetInterval);
}

}  // namespace

void QuillonPlugin::StartRecordingWriter() {
  namespace cvar = quillon::cvar;
  using quillon::recording::WatchedSetting;
  // Every variable the overlay's look depends on, in the order they are registered.
  const std::vector<WatchedSetting> settings = {
      {cvar::kEnabled, SettingType::kSwitch, enabled.get()},
      {cvar::kPositionX, SettingType::kInteger, positionX.get()},
      {cvar::kPositionY, SettingType::kInteger, positionY.get()},
      {cvar::kTextSize, SettingType::kFloat, textSize.get()},
      {cvar::kDropShadows, SettingType::kSwitch, dropShadows.get()},
      {cvar::kHeightDecimal, SettingType::kSwitch, heightDecimal.get()},
      {cvar::kSameColorEnabled, SettingType::kSwitch, sameColorEnabled.get()},
      {cvar::kTextColor, SettingType::kColor, textColor.get()},
      {cvar::kResetLabelColor, SettingType::kColor, resetLabelColor.get()},
      {cvar::kResetNumberColor, SettingType::kColor, resetNumberColor.get()},
      {cvar::kHeightLabelColor, SettingType::kColor, heightLabelColor.get()},
      {cvar::kHeightNumberColor, SettingType::kColor, heightNumberColor.get()},
      {cvar::kTimeLabelColor, SettingType::kColor, timeLabelColor.get()},
      {cvar::kTimeNumberColor, SettingType::kColor, timeNumberColor.get()},
      {cvar::kRgbEnabled, SettingType::kSwitch, rgbEnabled.get()},
      {cvar::kRgbSpeed, SettingType::kFloat, rgbSpeed.get()},
      {cvar::kKeepOnScreen, SettingType::kSwitch, keepOnScreen.get()},
      {cvar::kAnnounceBest, SettingType::kSwitch, announceBest.get()},
  };
  quillon::recording::WriterSetup setup;
  if (const auto data = gameWrapper->GetDataFolder(); !data.empty()) {
    setup.folder = data / "quillon" / "recordings";
  }
  setup.settings = settings;
  setup.writtenBy = "Quillon Plugin 1.1.0.1";
  // The console is safe to write from any thread.
  setup.report = [this](const std::string& line) { cvarManager->log(line); };
  setup.overlayText = &QuillonPlugin::RecordedOverlayText;
  recordBuffer = std::make_unique<quillon::recording::RecordBuffer>(kRecordRoom);
  recordingWriter =
      std::make_unique<quillon::recording::RecordingWriter>(*recordBuffer, std::move(setup));
  recordingFeed.Attach(*recordBuffer, &CounterNow,
                       [writer = recordingWriter.get()] { writer->Wake(); });
  recordingFeed.Watch(settings);
  recordingWriter->Start();
  recordingWanted = false;
  recordingLoaded = true;
}

void QuillonPlugin::StopRecording() {
  if (!recordingLoaded) return;
  if (recordingFeed.Active()) {
    recordingFeed.NewMoment();
    recordingFeed.End(EndReason::kUnload);
  }
  recordingLoaded = false;
  recordingWriter->Stop();
}

void QuillonPlugin::RecordingSwitched() {
  if (!recordingLoaded) return;
  recordingWanted = *recordSessions;
  recordingFeed.NewMoment();
  if (!recordingWanted) {
    if (recordingFeed.Active()) recordingFeed.End(EndReason::kSwitchedOff);
    return;
  }
  if (!recordingFeed.Active() && overlayRegistered && practiceActive) BeginRecordingInPlay();
}

void QuillonPlugin::BeginRecordingAtInit() {
  if (!recordingLoaded) return;
  recordingWanted = *recordSessions;
  recordingFeed.NewMoment();
  // Every recording ends with its game event; this is only for one that somehow did not.
  if (recordingFeed.Active()) recordingFeed.End(EndReason::kDestroyed);
  if (!recordingWanted) return;
  if (practiceActive) {
    // A check of an earlier game event already found practice: this one is under way.
    BeginRecordingInPlay();
    return;
  }
  const auto& stopwatch = record.intervalStopwatch;
  // Only a tracker that a freshly loaded plugin would match can be replayed from the start;
  // otherwise the recording begins when practice does, as if switched on then.
  if (pauseMenuOpen || stopwatch.running || stopwatch.stoppedForPause) return;
  recordingFeed.Begin(false, GameMode::kFreeplay, 0, ShowsZero(record), UtcSecondsNow(),
                      CounterFrequency());
  recordingChecked = false;
  recordingCheck = practiceChecks;
}

void QuillonPlugin::BeginRecordingInPlay() {
  namespace play = quillon::recording::play;
  const auto& stopwatch = record.intervalStopwatch;
  const bool timing = stopwatch.running || stopwatch.stoppedForPause;
  const std::uint8_t state = static_cast<std::uint8_t>(
      (awaitingDodge ? play::kAwaitingDodge : 0) | (ballExploded ? play::kBallExploded : 0) |
      (chainEnded ? play::kChainEnded : 0) | (pauseMenuOpen ? play::kPauseMenuOpen : 0) |
      (timing ? play::kTiming : 0));
  const bool zero = ShowsZero(record) && !timing;
  const GameMode mode = ReadGameMode();
  recordingFeed.NewMoment();
  recordingFeed.Begin(true, mode == GameMode::kTraining ? mode : GameMode::kFreeplay, state, zero,
                      UtcSecondsNow(), CounterFrequency());
  recordingFeed.Mode(mode);
  recordingChecked = true;
}

void QuillonPlugin::RecordPracticeCheck(bool wasActive, GameMode mode, std::uint64_t check) {
  if (*recordSessions != recordingWanted) RecordingSwitched();
  if (!recordingLoaded) return;
  recordingFeed.NewMoment();
  if (recordingFeed.Active()) {
    recordingFeed.Mode(mode);
    if (!recordingChecked) {
      if (check == recordingCheck) {
        if (practiceActive) {
          recordingFeed.Open(mode);
          recordingChecked = true;
        } else {
          recordingFeed.Discard();
        }
        return;
      }
      if (practiceActive) {
        // A check of an earlier game event found practice first: begin where play is now.
        recordingFeed.Discard();
        BeginRecordingInPlay();
      }
      return;
    }
    // The replay has no check here: one that ends practice ends the recording.
    if (!practiceActive) recordingFeed.End(EndReason::kPracticeEnded);
    return;
  }
  if (recordingWanted && overlayRegistered && practiceActive && !wasActive) {
    BeginRecordingInPlay();
  }
}

void QuillonPlugin::RecordGameEventEnd() {
  if (recordingFeed.Active()) recordingFeed.End(EndReason::kDestroyed);
}

void QuillonPlugin::RecordLandingRead(bool gameState, const Vector* ball, const Vector* car) {
  if (*recordSessions != recordingWanted) RecordingSwitched();
  if (!recordingFeed.Active()) return;
  recordingFeed.NewMoment();
  recordingFeed.GameState(gameState);
  if (gameState) {
    recordingFeed.Ball(ball != nullptr, ball ? ball->X : 0.0f, ball ? ball->Y : 0.0f,
                       ball ? ball->Z : 0.0f);
  }
  if (ball != nullptr) {
    recordingFeed.Car(car != nullptr, car ? car->X : 0.0f, car ? car->Y : 0.0f,
                      car ? car->Z : 0.0f);
  }
  recordingFeed.Event(GameEvent::kLanded);
}

void QuillonPlugin::DrawRecordingLine() {
  if (!recordingWriter) return;
  const std::string name = recordingWriter->OpenRecording();
  if (name.empty()) return;
  const std::string line = "Recording to '" + name + "'";
  ImGui::TextUnformatted(line.c_str());
}
