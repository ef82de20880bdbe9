#pragma once
// One step of a practice recording as the game thread hands it to the writer: a fixed-size
// record, so handing it over never allocates and never formats. Each kind of step is a type of
// its own below, with fields named for what they hold; a new kind is a new type in `Step`, and
// the compiler then asks the writer for its line.
#include <cstdint>
#include <type_traits>
#include <variant>

namespace quillon::recording {

// The hooked game functions, by the names session scripts use.
enum class GameEvent : std::uint8_t {
  kInit,
  kDestroyed,
  kJump,
  kLanded,
  kDodge,
  kBallGround,
  kRoundStart,
  kExplode,
  kPause,
  kUnpause,
};

enum class GameMode : std::uint8_t { kMenu, kFreeplay, kTraining, kMatch };

enum class EndReason : std::uint8_t { kDestroyed, kUnload, kSwitchedOff, kPracticeEnded };

// The tracker's state that decides what each event does, when a recording begins in play.
namespace play {
inline constexpr std::uint8_t kAwaitingDodge = 1;
inline constexpr std::uint8_t kBallExploded = 2;
inline constexpr std::uint8_t kChainEnded = 4;
inline constexpr std::uint8_t kPauseMenuOpen = 8;
inline constexpr std::uint8_t kTiming = 16;  // the interval stopwatch holds a timing
}  // namespace play

// Where the overlay's texts fall into separate groups of the host's frame line: bit i set means
// a " | " before the i-th of the five texts after the first.
inline constexpr std::uint8_t kAllOnOneRow = 0;

// --- Steps that change the writer's state: never lost to a full ring ---------------------------

// A recording begins; its `settings` set steps follow, then its other steps.
struct BeginStep {
  std::int64_t frequency = 0;  // of the performance counter
  std::int64_t utc = 0;        // seconds since 1970: the game event's start, or the switch
  std::uint32_t copy = 1;      // begun in play: the file's copy number among names of its second
  std::uint8_t settings = 0;
  std::uint8_t playState = 0;  // begun in play: `play` flags
  GameMode headerMode = GameMode::kFreeplay;
  bool live = false;  // begun in play, not at the game event's start
};
// The practice check found free play or custom training: the recording held back is written.
struct OpenStep {
  GameMode found = GameMode::kFreeplay;
  std::uint32_t copy = 1;  // the file's copy number among names of its second
};
// The game event was no practice: the recording held back is forgotten.
struct DiscardStep {};
struct EndStep {
  EndReason reason = EndReason::kDestroyed;
};
// Steps before the next one were lost to a full ring.
struct LostStep {
  std::uint64_t count = 0;
};

// --- Steps of play -------------------------------------------------------------------------------

// A hooked game function ran.
struct EventStep {
  GameEvent event = GameEvent::kInit;
};
// The mode read, where it differs from the last one handed over.
struct ModeStep {
  GameMode mode = GameMode::kMenu;
};
// Whether there was a game state.
struct GameStateStep {
  bool present = false;
};
// A location as read, or none.
struct PlaceStep {
  bool present = false;
  float x = 0.0f, y = 0.0f, z = 0.0f;
};
struct BallStep : PlaceStep {};
struct CarStep : PlaceStep {};
// A variable's value; which of the two fields holds it goes by the variable's type.
struct SettingStep {
  std::uint8_t index = 0;    // among the recorded variables
  std::int32_t integer = 0;  // a switch (0 or 1) or an integer
  float floats[4] = {};      // a float, or a colour's R G B A
};
// The canvas size.
struct ScreenStep {
  std::int32_t width = 0, height = 0;
};
// The overlay's text changed.
struct FrameStep {
  double interval = 0.0;
  std::uint32_t count = 0;
  float height = 0.0f;
  bool shown = false;
  bool expect = false;  // the text no longer depends on play before the recording
  bool decimals = false;
  std::uint8_t separators = kAllOnOneRow;
};

using Step = std::variant<EventStep, BeginStep, OpenStep, DiscardStep, EndStep, LostStep, ModeStep,
                          GameStateStep, BallStep, CarStep, SettingStep, ScreenStep, FrameStep>;

struct StepRecord {
  std::int64_t ticks = 0;  // performance counter
  Step step;
};
static_assert(std::is_trivially_copyable_v<StepRecord>);

}  // namespace quillon::recording
