#pragma once
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FontMetrics.h"
#include "Host.h"
#include "Image.h"
#include "LoadedPlugin.h"
#include "PlayWatch.h"
#include "RecordingCanvas.h"
#include "SessionRecorder.h"
#include "SessionScript.h"
#include "SettingsWindow.h"

namespace host {

// An expect step whose frame showed another text: its line in the script and that text.
struct MissedExpectation {
  int line;
  std::string shown;
};

struct ReplayOptions {
  bool trace = false;     // list every canvas call under its frame line
  bool realTime = false;  // the clock follows the platform's clock from the start of the replay
  SessionRecorder* recorder = nullptr;  // writes every step run, and an expect after each frame
  std::ostream* errors = &std::cerr;    // where expectations that fail are reported
  // When given, an expectation that fails is kept here instead of reported.
  std::vector<MissedExpectation>* missed = nullptr;
  // The folder a step's picture path (relative, never leaving it) is taken from; empty: the
  // working folder.
  std::filesystem::path pictures = {};
};

// How the session's expect steps went.
struct Expectations {
  int checked = 0;
  int failed = 0;
  // The replay could not check all it played: a recording lost steps, or was cut short.
  bool incomplete = false;
};

// Replays a parsed session on the host and the loaded plugin, printing what a player would see.
class SessionRunner {
 public:
  // Toasts the plugin shows are printed to `out` as "toast: TITLE: TEXT" while the runner lives.
  SessionRunner(pluginsdk::Host& host, LoadedPlugin& plugin, std::ostream& out,
                ReplayOptions options);
  ~SessionRunner();
  SessionRunner(const SessionRunner&) = delete;
  SessionRunner& operator=(const SessionRunner&) = delete;

  // Before each step the clock moves to the step's time (running due timeouts on the way, one due
  // at the step's very time too; in real time, waiting for each); after it, queued deferred work
  // runs. In real time the first step, too, runs at its time, not when the host gets to it. Throws
  // std::runtime_error with "FILE:LINE: message" when a step cannot be carried out (an image that
  // cannot be written). False when SIGINT or SIGTERM stopped it between steps (see StopOnSignals).
  bool Run(const std::vector<Step>& steps, const std::string& source);
  // One step as Run carries it out, for a caller that paces the steps itself: in real time that
  // caller stops the clock at the step's time (HostClock::StopAt), so the step runs at that time
  // however late it gets to it. A step planned before the clock's present time runs at once;
  // what it prints and records carries the time it ran.
  void RunStep(const Step& step, const std::string& source);
  // Writes whole lines to the output under the host's output lock, so a console line that
  // another thread logs never lands inside them.
  void Print(std::string_view lines);

  // The picture a frame step with an image writes, from the frame's canvas calls. By default
  // the frame rendered in software (FrameImage.h); a live window gives its own screen instead.
  using FramePicture = std::function<Image(const std::vector<CanvasCall>& calls)>;
  void SetFramePicture(FramePicture picture) { framePicture_ = std::move(picture); }

  // The canvas size of the following frames (at first the game's screen), and what is called
  // besides when a screen step sets it: a live window takes that size itself.
  void SetCanvasSize(Vector2 size) { canvas_->Resize(size); }
  using ScreenChange = std::function<void(Vector2 size)>;
  void SetScreenChange(ScreenChange change) { screenChange_ = std::move(change); }

  // The settings window the steps draw and click, opened on first use; null when the plugin
  // offers no settings page.
  SettingsWindow* OpenSettings();

  // Says on the errors stream that the recording just replayed was cut short at `cut`: what
  // came after was not recorded, and is not checked.
  void ReportCutShort(const CutShort& cut, const std::string& source);

  const Expectations& Checked() const { return expectations_; }
  // Why nothing was drawn or no reset counted, as far as the run shows, and that nothing was
  // checked when the session had no expect step: a line each, "hint: ...".
  std::optional<std::string> Hint() const;
  SessionRecorder* Recorder() const { return options_.recorder; }

 private:
  void Apply(const Step& step, const std::string& source);
  void DrawFrameStep(const Step& step, const DrawFrame& frame, const std::string& source);
  void ShowSettingsStep(const Step& step, const ShowSettings& settings, const std::string& source);
  void ClickStep(const Step& step, const ClickWidget& click, const std::string& source);
  void ExpectStep(const Step& step, const ExpectFrame& expect, const std::string& source);
  void LostStepsStep(const Step& step, const LostSteps& lost, const std::string& source);
  // Writes a message to the errors stream after the output printed so far.
  void Complain(std::string_view message);
  // In real time, waits for the step's time in short turns, so a stop signal is seen and the
  // recording written while waiting. False when a stop signal came.
  bool WaitFor(std::int64_t ticks);
  // The settings window, opened on first use; throws when the plugin offers no settings page.
  SettingsWindow& Settings(const Step& step, const std::string& source);

  pluginsdk::Host& host_;
  LoadedPlugin& plugin_;
  std::ostream& out_;
  ReplayOptions options_;
  FontMetrics font_;
  std::shared_ptr<RecordingCanvas> canvas_;
  std::unique_ptr<SettingsWindow> settings_;
  FramePicture framePicture_;
  std::string lastFrame_;  // what the latest frame step printed after its time
  std::int64_t lastFrameTicks_ = 0;
  std::int64_t ranAt_ = 0;  // when the step being run ran
  std::string line_;        // a frame's lines as they are made
  Expectations expectations_;
  int lostAt_ = 0;  // the line of the latest lost steps, if any came
  ScreenChange screenChange_;
  PlayWatch watch_;
};

// The hint a replay whose session has no expect step ends with.
inline constexpr std::string_view kNothingCheckedHint =
    "hint: the session has no expect step, so the replay checked nothing; an expect \"TEXT\" "
    "after a frame step checks what the frame showed";

// What a session ends with on `errors`: the hint, if any, and "N of M expectations failed" when
// one failed; whole, under the host's output lock, so a line from another thread never lands
// inside it.
void ReportEnd(const pluginsdk::Host& host, std::ostream& errors, const Expectations& checked,
               const std::optional<std::string>& hint);

// The checks a script's variable steps get against the host's registry.
VariableCheck RegistryCheck(const pluginsdk::Host& host);
// The check a script's command steps get: the host's console commands.
CommandCheck KnownCommands(const pluginsdk::Host& host);

// Seconds with three decimals, as frame lines show time.
std::string FormatTime(std::int64_t ticks);
void AppendFormattedTime(std::string& text, std::int64_t ticks);
// What a frame line shows after its time: the texts drawn, or kNothingDrawn.
inline constexpr std::string_view kNothingDrawn = "(nothing drawn)";
std::string FrameLineText(const std::vector<CanvasCall>& calls);

// The line printed after a picture is written, so a person knows where to look:
// "picture: FILE (WIDTHxHEIGHT)".
std::string PictureLine(const std::filesystem::path& file, const Image& picture);

}  // namespace host
