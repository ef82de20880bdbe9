#pragma once
// One step of a practice recording as the game thread hands it to the writer: a fixed-size
// record, so handing it over never allocates and never formats.
#include <cstdint>
#include <type_traits>

namespace quillon::recording {

enum class StepKind : std::uint8_t {
  kBegin,      // a recording begins; then its settings, then its init
  kEvent,      // a hooked game function ran
  kMode,       // the mode the plugin read differs from the last one handed over
  kBall,       // the ball's location as read (or none)
  kCar,        // the local car's location as read (or none)
  kGameState,  // whether there was a game state
  kSetting,    // a variable's value
  kScreen,     // the canvas size
  kFrame,      // the overlay's text changed
  kOpen,       // the practice check found free play or custom training: write the file
  kDiscard,    // the game event was no practice: forget it
  kEnd,        // the recording ends
  kLost,       // `count` steps before this one were lost
};

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

struct StepRecord {
  std::int64_t ticks = 0;  // performance counter
  StepKind kind = StepKind::kEvent;
  std::uint8_t code = 0;   // event, mode, setting index, presence, end reason
  std::uint8_t flags = 0;  // frame: kShown, kExpect, kDecimals; begin: play state
  std::uint8_t separators = 0;
  std::uint32_t count = 0;  // frame: the reset count; screen: width
  float values[4] = {};     // location X Y Z; colour R G B A; a float setting; frame: height
  double number = 0.0;      // frame: interval; an integer setting; screen: height
  std::int64_t wide = 0;    // begin: counter frequency; lost: how many
  std::int64_t utc = 0;     // begin: seconds since 1970, UTC
};
static_assert(std::is_trivially_copyable_v<StepRecord>);

namespace frame {
inline constexpr std::uint8_t kShown = 1;
inline constexpr std::uint8_t kExpect = 2;  // the text no longer depends on play before it
inline constexpr std::uint8_t kDecimals = 4;
}  // namespace frame

namespace begin {
inline constexpr std::uint8_t kLive = 1;  // code: begun in play, not at the game event's start
}

}  // namespace quillon::recording
