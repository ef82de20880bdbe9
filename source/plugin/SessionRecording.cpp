// Wires practice recordings into the plugin: the switch, the game event's start and end, the
// practice check, and what each hook and frame reads. The game thread only hands over fixed-size
// records; the recording's writer thread does the rest.
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <type_traits>
#include <variant>

#include "HostTime.h"
#include "PerformanceCounter.h"
#include "QuillonPlugin.h"
#include "VariableTable.h"
#include "imgui.h"

namespace {

using quillon::recording::EndReason;
using quillon::recording::GameEvent;
using quillon::recording::GameMode;
using quillon::recording::SettingType;

// 32,768 records of 40 bytes (1.25 MiB): minutes of the busiest play, and room enough for a
// replay in virtual time, which runs hundreds of times faster, while the writer catches up.
constexpr std::size_t kRecordRoom = 32768;
// Of which the records that change the writer's state may take the last 64: a dozen recordings
// begun and ended while the writer is stuck.
constexpr std::size_t kKeptRoom = 64;
static_assert(kKeptRoom >= quillon::recording::RecordingFeed::kRoomPerRecording);
// The feed marks a changed variable with a bit of its own: past that, add bits, drop none.
static_assert(std::size(quillon::cvar::kVariables) <=
                  quillon::recording::RecordingFeed::kMaxSettings,
              "more variables than the recording's feed watches");

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

SettingType SettingTypeOf(const quillon::cvar::Variable& variable) {
  return std::visit(
      []<typename Value>(const quillon::cvar::Bound<Value>&) {
        if constexpr (std::is_same_v<Value, bool>) {
          return SettingType::kSwitch;
        } else if constexpr (std::is_same_v<Value, int>) {
          return SettingType::kInteger;
        } else if constexpr (std::is_same_v<Value, float>) {
          return SettingType::kFloat;
        } else {
          return SettingType::kColor;
        }
      },
      variable.bound);
}

// The bound value's bytes, which the feed compares and copies by the variable's type.
const void* BoundValue(const QuillonPlugin& plugin, const quillon::cvar::Variable& variable) {
  return std::visit([&](const auto& bound) -> const void* { return (plugin.*bound.member).get(); },
                    variable.bound);
}

}  // namespace

void QuillonPlugin::StartRecordingWriter() {
  std::vector<quillon::recording::WatchedSetting> settings;
  for (const quillon::cvar::Variable& variable : quillon::cvar::kVariables) {
    if (variable.recorded) {
      settings.push_back({variable.name, SettingTypeOf(variable), BoundValue(*this, variable)});
    }
  }
  quillon::recording::WriterSetup setup;
  if (const auto data = gameWrapper->GetDataFolder(); !data.empty()) {
    // Whole, so the page names the file where a player finds it.
    std::error_code error;
    setup.folder = std::filesystem::absolute(data / "quillon" / "recordings", error);
    if (error) setup.folder = data / "quillon" / "recordings";
  }
  recordingNames = {};
  setup.settings = settings;
  setup.writtenBy = "Quillon Plugin 1.1.0.1";
  // The host's console is the game thread's: the writer thread's lines go there through Execute.
  setup.report = [this](const std::string& line) { cvarManager->log(line); };
  setup.toGameThread = [game = gameWrapper.get()](std::function<void()> work) {
    game->Execute([work = std::move(work)](GameWrapper*) { work(); });
  };
  setup.overlayText = &QuillonPlugin::RecordedOverlayText;
  setup.status = &recordingStatus;
  recordBuffer = std::make_unique<quillon::recording::RecordBuffer>(kRecordRoom, kKeptRoom);
  recordingWriter =
      std::make_unique<quillon::recording::RecordingWriter>(*recordBuffer, std::move(setup));
  recordingFeed.Attach(*recordBuffer, &CounterNow,
                       [writer = recordingWriter.get()] { writer->Wake(); });
  recordingFeed.Watch(settings);
  // Each change reaches the recording before the next step that could read it.
  for (std::size_t i = 0; i < settings.size(); ++i) {
    CVarWrapper variable = cvarManager->getCvar(settings[i].name);
    if (!variable) continue;
    variable.addOnValueChanged([marks = recordingFeed.Marks(), i](std::string, CVarWrapper) {
      if (const auto held = marks.lock()) quillon::recording::RecordingFeed::MarkChanged(*held, i);
    });
  }
  recordingWriter->Start();
  recordingWanted = false;
  recordingLoaded = true;
}

void QuillonPlugin::StopRecording() {
  if (!recordingLoaded) return;
  if (recordingFeed.Active()) {
    recordingFeed.NewMoment();
    EndRecording(EndReason::kUnload);
  }
  recordingLoaded = false;
  for (const quillon::cvar::Variable& variable : quillon::cvar::kVariables) {
    if (!variable.recorded) continue;
    if (CVarWrapper handle = cvarManager->getCvar(variable.name)) handle.removeOnValueChanged();
  }
  recordingWriter->Stop();
}

void QuillonPlugin::RecordingSwitched() {
  if (!recordingLoaded) return;
  recordingWanted = *recordSessions;
  recordingFeed.NewMoment();
  if (!recordingWanted) {
    if (recordingFeed.Active()) EndRecording(EndReason::kSwitchedOff);
    return;
  }
  if (!recordingFeed.Active() && overlayRegistered && practiceActive) BeginRecordingInPlay();
}

void QuillonPlugin::BeginRecordingAtInit() {
  if (!recordingLoaded) return;
  recordingWanted = *recordSessions;
  recordingFeed.NewMoment();
  // Every recording ends with its game event; this is only for one that somehow did not.
  if (recordingFeed.Active()) EndRecording(EndReason::kDestroyed);
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
  recordingUtc = UtcSecondsNow();
  // Without room for it the recording begins, if at all, when practice is found.
  recordingFeed.Begin({.frequency = CounterFrequency(), .utc = recordingUtc}, ShowsZero(record));
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
  recordingUtc = UtcSecondsNow();
  const std::uint32_t copy = recordingNames.Next(recordingUtc);
  const quillon::recording::BeginStep begin{
      .frequency = CounterFrequency(),
      .utc = recordingUtc,
      .copy = copy,
      .playState = state,
      .headerMode = mode == GameMode::kTraining ? mode : GameMode::kFreeplay,
      .live = true};
  if (!recordingFeed.Begin(begin, zero)) {
    recordingStatus.Refuse(recordingFeed.Begun(),
                           "the recording's writer is too far behind the game");
    recordingWriter->CouldNotRecord(practiceChecks);
    return;
  }
  recordingStatus.Opening(recordingFeed.Begun());
  recordingFeed.Mode(mode);
  recordingChecked = true;
  WriterCatchesUp();
}

void QuillonPlugin::EndRecording(EndReason reason) {
  recordingFeed.End(reason);
  // No wait here: the page's line is the game thread's own, and a slow disk must not hold the
  // game event's end (or the unload after it) for long.
  recordingStatus.Ended(recordingFeed.Begun());
}

void QuillonPlugin::WriterCatchesUp() {
  // The page and the console then say what came of each recording at the same step every run.
  if (HostTimeIsVirtual()) recordingWriter->CatchUp();
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
          const std::uint32_t copy = recordingNames.Next(recordingUtc);
          recordingStatus.Opening(recordingFeed.Begun());
          recordingFeed.Open({mode, copy});
          recordingChecked = true;
          WriterCatchesUp();
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
    if (!practiceActive) EndRecording(EndReason::kPracticeEnded);
    return;
  }
  if (recordingWanted && overlayRegistered && practiceActive && !wasActive) {
    BeginRecordingInPlay();
  }
}

void QuillonPlugin::RecordGameEventEnd() {
  if (recordingFeed.Active()) EndRecording(EndReason::kDestroyed);
}

void QuillonPlugin::RecordEventHanded(GameEvent event) {
  recordingFeed.NewMomentAt(CounterNow());
  recordingFeed.Event(event);
}

void QuillonPlugin::RecordLandingRead(bool gameState, const Vector* ball, const Vector* car) {
  recordingFeed.NewMomentAt(CounterNow());
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
  // The page's own thread reads the switch as the host last stored it.
  if (!std::atomic_ref<bool>(*recordSessions).load()) return;
  ImGui::TextUnformatted(recordingStatus.Line().c_str());
}
