#pragma once
// The lines of one recording: each step as session-script text, the header, and the steps that
// bring a replay to where play was when the recording began in play.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "RecordingFeed.h"
#include "StepRecord.h"

namespace quillon::recording {

// The host's frame line for a frame that shows the overlay.
using OverlayText = std::function<std::string(const FrameStep&)>;

// The last line written of each value the game reads again and again, so a value read again
// unchanged is written once.
class LastLines {
 public:
  enum Kind : std::size_t { kMode, kBall, kCar, kGameState, kScreen, kKinds };
  // True, remembering `line` as the last of its kind, when it differs from it.
  bool Changed(Kind kind, std::string_view line) {
    if (lines_[kind] == line) return false;
    lines_[kind].assign(line);
    return true;
  }

 private:
  std::array<std::string, kKinds> lines_;
};

class RecordingLines {
 public:
  RecordingLines(std::span<const WatchedSetting> settings, OverlayText overlayText)
      : settings_(settings), overlayText_(std::move(overlayText)) {}

  struct Header {
    std::string_view writtenBy;
    std::int64_t utc = 0;
    GameMode mode = GameMode::kFreeplay;
    bool live = false;
    std::string_view name;  // recordings/NAME, for the replay command
    std::span<const SettingStep> settings;
  };
  void AppendHeader(std::string& out, const Header& header);
  // The steps at `time` that bring a freshly loaded plugin's tracker to `playState`.
  void AppendPreamble(std::string& out, std::int64_t time, std::uint8_t playState);
  // The step's lines at `time` (script ticks), if it has any.
  void Append(std::string& out, std::int64_t time, const Step& step);

 private:
  struct LineOf;

  void AppendSetting(std::string& out, std::int64_t time, const SettingStep& setting);
  void AppendPlace(std::string& out, std::int64_t time, LastLines::Kind kind, std::string_view step,
                   const PlaceStep& place);
  void AppendScreen(std::string& out, std::int64_t time, const ScreenStep& screen);
  void AppendFrame(std::string& out, std::int64_t time, const FrameStep& frame);
  // From here on the replay cannot check what it shows: said in the script, and no more expects.
  void Unchecked(std::string& out, std::int64_t time, std::string_view why);

  std::span<const WatchedSetting> settings_;
  OverlayText overlayText_;
  bool checking_ = true;
  LastLines last_;
};

}  // namespace quillon::recording
