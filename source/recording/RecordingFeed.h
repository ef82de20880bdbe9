#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
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
// file; when the ring is full the steps are counted as lost and handed over as a count.
class RecordingFeed {
 public:
  using Clock = std::int64_t (*)();
  static constexpr std::size_t kMaxSettings = 32;

  // At load: the ring, the clock and how to wake the writer; the variables to record, in the
  // order of their `set` lines.
  void Attach(RecordBuffer& buffer, Clock clock, std::function<void()> wakeWriter);
  void Watch(std::span<const WatchedSetting> settings);

  bool Active() const { return active_; }
  // A new moment of the game (a hook, a timeout, a frame): the next step reads the clock.
  void NewMoment() { stamped_ = false; }

  // `live`: begun in play, with the tracker's `playState`; otherwise at the game event's start.
  // `independent`: what the overlay shows needs nothing from before.
  void Begin(bool live, GameMode headerMode, std::uint8_t playState, bool independent,
             std::int64_t utcSeconds, std::int64_t frequency);
  void Open(GameMode found);
  void Discard();
  void End(EndReason reason);
  // The overlay's values have just been set afresh, by a new chain or a chain's first reset.
  void MarkIndependent() { independent_ = true; }

  void Event(GameEvent event);
  void Mode(GameMode mode);
  void Ball(bool present, float x, float y, float z);
  void Car(bool present, float x, float y, float z);
  void GameState(bool present);
  void Screen(int width, int height);
  // Hands over every watched variable whose value changed.
  void PollSettings();
  void Frame(const FrameView& view);

 private:
  std::int64_t Now();
  void Push(StepRecord record);
  void PushSetting(std::size_t index);
  void Forget();

  RecordBuffer* buffer_ = nullptr;
  Clock clock_ = nullptr;
  std::function<void()> wakeWriter_;
  std::array<WatchedSetting, kMaxSettings> settings_{};
  std::size_t settingCount_ = 0;

  bool active_ = false;
  bool independent_ = false;
  bool stamped_ = false;
  std::int64_t stamp_ = 0;
  std::uint64_t lost_ = 0;

  // The last values handed over; `known` false after a loss, so they are all handed over again.
  struct Last {
    bool known = false;
    StepRecord record;
  };
  Last mode_, ball_, car_, gameState_, screen_, frame_;
  std::array<Last, kMaxSettings> settingValues_{};
};

}  // namespace quillon::recording
