#pragma once
#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "RecordBuffer.h"
#include "StepRecord.h"

namespace quillon::recording {

enum class SettingType : std::uint8_t { kSwitch, kInteger, kFloat, kColor };

// A variable whose value goes into the recording, read through its bound value.
struct WatchedSetting {
  const char* name;
  SettingType type;
  const void* value;  // bool, int, float or four floats, kept alive by the plugin
};

// What a frame of the overlay shows, as far as its text goes.
struct FrameView {
  bool shown = false;
  std::uint32_t count = 0;
  double interval = 0.0;
  float height = 0.0f;
  bool decimals = false;
  std::uint8_t separators = kAllOnOneRow;
};

// The game thread's side of a recording: hands each step over as a fixed-size record, and the
// values it reads (mode, ball, car, game state, settings, screen, the overlay's text) only when
// they differ from the last ones handed over. Nothing here allocates, formats or touches a
// file; when the ring is full the steps are counted as lost and handed over as a count. A value
// counts as handed over only once its step is in the ring, and a loss forgets them all: after
// the count, every value is handed over again (the game state, ball and car, every variable and
// the mode before the next frame; the screen with the next frame that reads it), so the replay
// is back in step with the game. The steps that change the writer's state (begin, open,
// discard, end, and the count lost before them) come out of the ring's kept room: a recording
// begins only when that room holds all of them, so none is ever lost.
class RecordingFeed {
 public:
  using Clock = std::int64_t (*)();
  // One bit each in the mask of changed variables.
  static constexpr std::size_t kMaxSettings = 32;
  // What one recording may take of the kept room: its begin, and its open and its end, each
  // after a count of steps lost.
  static constexpr std::size_t kRoomPerRecording = 5;

  // At load: the ring, the clock and how to wake the writer; the variables to record, in the
  // order of their `set` lines.
  void Attach(RecordBuffer& buffer, Clock clock, std::function<void()> wakeWriter);
  void Watch(std::span<const WatchedSetting> settings);
  // The variables changed since the feed last looked, a bit each (in the order of Watch). Shared
  // with the host's change callbacks, which may outlive the feed; once a variable is marked, the
  // recording gets it before its next step (a hook, a frame, the end), so before anything can
  // read it.
  using ChangeMarks = std::atomic<std::uint32_t>;
  std::weak_ptr<ChangeMarks> Marks() const { return changedSettings_; }
  // Any thread, once the variable's value has changed.
  static void MarkChanged(ChangeMarks& marks, std::size_t index) {
    marks.fetch_or(std::uint32_t{1} << index, std::memory_order_release);
  }

  bool Active() const { return active_; }
  // Recordings begun since load; the latest one's number (RecordingStatus counts them alike).
  std::uint64_t Begun() const { return begun_; }
  // A new moment of the game (a hook, a timeout, a frame): the next step reads the clock.
  void NewMoment() { stamped_ = false; }
  // A new moment at `ticks`, read by the caller from the same clock: a hook hands over its event
  // whatever else it hands over, so it reads the time at once, without the call through clock_.
  void NewMomentAt(std::int64_t ticks) {
    stamp_ = ticks;
    stamped_ = true;
  }

  // `independent`: what the overlay shows needs nothing from before. False, with nothing
  // handed over, when the ring has no room for the recording's state steps: the writer is too
  // far behind to keep it.
  bool Begin(BeginStep begin, bool independent);
  void Open(OpenStep open);
  void Discard();
  void End(EndReason reason);
  // The overlay's values have just been set afresh, by a new chain or a chain's first reset.
  void MarkIndependent() { independent_ = true; }

  // The one step of most hooks, kept short: a slot, the time, the event.
  void Event(GameEvent event) {
    HandChangedSettings();
    PushPlay(EventStep{event});
  }
  void Mode(GameMode mode) {
    if (!modeKnown_ || mode != mode_) HandMode(mode);
  }
  void GameState(bool present) {
    if (!gameStateKnown_ || present != gameState_) HandGameState(present);
  }
  void Ball(bool present, float x, float y, float z) {
    if (!ball_.Same(present, x, y, z)) HandBall(present, x, y, z);
  }
  void Car(bool present, float x, float y, float z) {
    if (!car_.Same(present, x, y, z)) HandCar(present, x, y, z);
  }
  void Screen(int width, int height) {
    if (!screenKnown_ || width != screenWidth_ || height != screenHeight_) {
      HandScreen(width, height);
    }
  }
  // The frame's text, when it changed, after every watched variable that changed.
  void Frame(const FrameView& view) {
    const bool expect = !view.shown || independent_;
    if (frameKnown_ && SameFrame(view, expect)) {
      HandChangedSettings();
      return;
    }
    HandFrame(view, expect);
  }

 private:
  // A location as last read, and whether that is in the ring.
  struct Place {
    bool read = false;
    bool known = false;
    bool present = false;
    std::uint32_t bits[3] = {};
    bool Same(bool isPresent, float x, float y, float z) const {
      if (!known || isPresent != present) return false;
      return !isPresent || (bits[0] == std::bit_cast<std::uint32_t>(x) &&
                            bits[1] == std::bit_cast<std::uint32_t>(y) &&
                            bits[2] == std::bit_cast<std::uint32_t>(z));
    }
    void Set(bool isPresent, float x, float y, float z) {
      read = true;
      present = isPresent;
      bits[0] = std::bit_cast<std::uint32_t>(x);
      bits[1] = std::bit_cast<std::uint32_t>(y);
      bits[2] = std::bit_cast<std::uint32_t>(z);
    }
    PlaceStep AsStep() const {
      if (!present) return {};
      return {true, std::bit_cast<float>(bits[0]), std::bit_cast<float>(bits[1]),
              std::bit_cast<float>(bits[2])};
    }
  };
  // A variable's value as last handed over, as raw bytes.
  struct SettingBytes {
    bool known = false;
    std::uint32_t words[4] = {};
  };

  bool SameFrame(const FrameView& view, bool expect) const {
    if (view.shown != frame_.shown || expect != frameExpected_) return false;
    return !view.shown ||
           (view.count == frame_.count &&
            std::bit_cast<std::uint64_t>(view.interval) ==
                std::bit_cast<std::uint64_t>(frame_.interval) &&
            std::bit_cast<std::uint32_t>(view.height) ==
                std::bit_cast<std::uint32_t>(frame_.height) &&
            view.decimals == frame_.decimals && view.separators == frame_.separators);
  }
  bool SettingUnchanged(std::size_t index) const;
  // One load where nothing changed, as on almost every hook and frame.
  void HandChangedSettings() {
    if (changedSettings_->load(std::memory_order_relaxed) != 0) [[unlikely]] {
      HandSettings(changedSettings_->exchange(0, std::memory_order_acquire));
    }
  }
  // Those of `changed` (a bit each) that differ from the last handed over.
  void HandSettings(std::uint32_t changed);

  std::int64_t Now() {
    if (!stamped_) {
      stamp_ = clock_();
      stamped_ = true;
    }
    return stamp_;
  }
  // A slot for a step of play outside the kept room, stamped with the moment's time; null when
  // the step is lost. Commit hands it over.
  StepRecord* Claim();
  // A step of play that a hook may hand over (an event, or what a landing read), written straight
  // into its slot; false when it was lost.
  template <typename Kind>
  bool PushPlay(const Kind& kind) {
    if (lost_ == 0) [[likely]] {
      if (StepRecord* slot = buffer_->Claim()) [[likely]] {
        Fill(*slot, kind);
        return true;
      }
    }
    StepRecord* slot = Claim();
    if (slot == nullptr) return false;
    Fill(*slot, kind);
    return true;
  }
  // The step stamped with the moment's time, then handed over.
  template <typename Kind>
  void Fill(StepRecord& slot, const Kind& kind) {
    slot.ticks = Now();
    slot.step.emplace<Kind>(kind);
    Commit();
  }
  void Commit() {
    if ((buffer_->Commit() & wakeMask_) == 0) WakeIfBehind();
  }
  // An eighth of the ring waiting: the writer, which looks in now and then, is asked to look now.
  void WakeIfBehind();
  // For steps of play that are not on every hook, stamped here; false when the step was lost.
  bool Push(const Step& step);
  // Writes the count of steps lost before the next step into `gap`, then forgets every value
  // handed over before it.
  void CloseGap(StepRecord& gap);
  // A step that changes the writer's state, out of the kept room, after the count lost before it.
  void PushKept(const Step& step);
  void PushSetting(std::size_t index);
  void HandMode(GameMode mode);
  void HandGameState(bool present);
  // Inline, as the steps of a landing are: the car has moved at almost every landing.
  void HandBall(bool present, float x, float y, float z) {
    ball_.Set(present, x, y, z);
    ball_.known = PushPlay(BallStep{ball_.AsStep()});
  }
  void HandCar(bool present, float x, float y, float z) {
    car_.Set(present, x, y, z);
    car_.known = PushPlay(CarStep{car_.AsStep()});
  }
  // After a loss: the game state, ball and car last read, which only a landing reads again.
  void HandWorldAgain();
  void HandScreen(int width, int height);
  void HandFrame(const FrameView& view, bool expect);
  void Forget();

  RecordBuffer* buffer_ = nullptr;
  Clock clock_ = nullptr;
  std::function<void()> wakeWriter_;
  std::array<WatchedSetting, kMaxSettings> settings_{};
  std::size_t settingCount_ = 0;
  std::size_t wakeMask_ = 0;  // an eighth of the ring, less one
  std::uint64_t begun_ = 0;
  const std::shared_ptr<ChangeMarks> changedSettings_ = std::make_shared<ChangeMarks>(0);

  bool active_ = false;
  bool independent_ = false;
  bool stamped_ = false;
  std::int64_t stamp_ = 0;
  std::uint64_t lost_ = 0;

  // The last values read, and whether that is what the ring holds: unknown after a loss, so
  // they are all handed over again.
  bool modeKnown_ = false;
  GameMode mode_ = GameMode::kMenu;
  bool gameStateRead_ = false;
  bool gameStateKnown_ = false;
  bool gameState_ = false;
  Place ball_, car_;
  bool screenKnown_ = false;
  int screenWidth_ = 0, screenHeight_ = 0;
  bool frameKnown_ = false;
  bool frameExpected_ = false;
  FrameView frame_;
  std::array<SettingBytes, kMaxSettings> settingValues_{};
};

}  // namespace quillon::recording
