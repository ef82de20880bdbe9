#include "SessionRunner.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>

#include "ErrorText.h"
#include "FrameImage.h"
#include "NearestNames.h"
#include "Overloaded.h"
#include "PathText.h"
#include "PngFile.h"
#include "QuotedText.h"
#include "StopOnSignals.h"

namespace host {
namespace {

std::shared_ptr<pluginsdk::ActorState> ActorAt(const std::optional<Vector>& location) {
  if (!location) return nullptr;
  return std::make_shared<pluginsdk::ActorState>(pluginsdk::ActorState{*location});
}

// How long a wait in real time goes on before looking for a stop signal again.
constexpr std::int64_t kWaitTurn = pluginsdk::HostClock::kTicksPerSecond / 10;

// A step that cannot be carried out, named as a fault in the script is: "FILE:LINE: message".
[[noreturn]] void StepFault(const std::string& source, const Step& step,
                            const std::string& message) {
  throw ScriptError(source + ":" + std::to_string(step.line) + ": " + message);
}

// Writes the picture a step asked for; a fault naming the file and why when it cannot.
void WritePicture(const Image& picture, const std::filesystem::path& file,
                  const std::string& source, const Step& step) {
  if (const auto error = SavePng(picture, file)) {
    StepFault(source, step,
              "cannot write " + pluginsdk::QuoteText(PathText(file)) + ": " +
                  pluginsdk::ErrorText(error));
  }
}

}  // namespace

std::string FrameLineText(const std::vector<CanvasCall>& calls) {
  std::string text = FrameText(calls);
  return text.empty() ? std::string(kNothingDrawn) : text;
}

void AppendFormattedTime(std::string& text, std::int64_t ticks) {
  constexpr std::int64_t kTicksPerMillisecond = pluginsdk::HostClock::kTicksPerSecond / 1000;
  const std::int64_t milliseconds = (ticks + kTicksPerMillisecond / 2) / kTicksPerMillisecond;
  std::array<char, 24> digits{};
  char* end = std::to_chars(digits.data(), digits.data() + digits.size(), milliseconds / 1000).ptr;
  text.append(digits.data(), end);
  const auto fraction = static_cast<int>(milliseconds % 1000);
  text += '.';
  text += static_cast<char>('0' + fraction / 100);
  text += static_cast<char>('0' + fraction / 10 % 10);
  text += static_cast<char>('0' + fraction % 10);
}

std::string FormatTime(std::int64_t ticks) {
  std::string text;
  AppendFormattedTime(text, ticks);
  return text;
}

std::string PictureLine(const std::filesystem::path& file, const Image& picture) {
  return "picture: " + PathText(file) + " (" + std::to_string(picture.Width()) + "x" +
         std::to_string(picture.Height()) + ")";
}

void ReportEnd(const pluginsdk::Host& host, std::ostream& errors, const Expectations& checked,
               const std::optional<std::string>& hint) {
  std::string report = hint ? *hint + '\n' : std::string();
  if (checked.failed > 0) {
    report += std::to_string(checked.failed) + " of " + std::to_string(checked.checked) +
              " expectations failed\n";
  }
  if (report.empty()) return;
  const std::lock_guard lock(host.OutputLock());
  errors.write(report.data(), static_cast<std::streamsize>(report.size()));
}

VariableCheck RegistryCheck(const pluginsdk::Host& host) {
  return [&host](std::string_view name,
                 std::optional<std::string_view> value) -> std::optional<std::string> {
    const auto variable = host.FindVariable(name);
    if (!variable) {
      std::vector<std::string> known;
      for (const auto& registered : host.Variables()) known.push_back(registered->Name());
      return "unknown variable " + pluginsdk::QuoteText(name) + DidYouMean(name, known);
    }
    if (!value) return std::nullopt;
    // Try the value on a copy, so checking changes nothing.
    pluginsdk::ConsoleVariable trial(variable->Name(), variable->DefaultValue(), "",
                                     variable->Searchable(), variable->Bounds(), variable->Saved(),
                                     variable->Owner());
    if (auto refused = trial.SetText(*value))
      return "cannot set " + variable->Name() + ": " + *refused;
    return std::nullopt;
  };
}

CommandCheck KnownCommands(const pluginsdk::Host& host) {
  return [&host](std::string_view name) -> std::optional<std::string> {
    if (host.HasCommand(name)) return std::nullopt;
    return "unknown command " + pluginsdk::QuoteText(name) + DidYouMean(name, host.CommandNames());
  };
}

SessionRunner::SessionRunner(pluginsdk::Host& host, LoadedPlugin& plugin, std::ostream& out,
                             ReplayOptions options)
    : host_(host),
      plugin_(plugin),
      out_(out),
      options_(options),
      canvas_(std::make_shared<RecordingCanvas>(font_)) {
  host_.Toasts().SetOutput([this](const pluginsdk::Toast& toast) {
    Print("toast: " + toast.title + ": " + toast.text + '\n');
  });
}

SessionRunner::~SessionRunner() {
  host_.Toasts().SetOutput(nullptr);
}

bool SessionRunner::Run(const std::vector<Step>& steps, const std::string& source) {
  auto& clock = host_.Clock();
  // Stopped first, so the first step runs at its time, not when the host gets to it.
  if (!steps.empty()) clock.StopAt(steps.front().ticks);
  if (options_.realTime) clock.FollowPlatformClock();
  for (const auto& step : steps) {
    clock.StopAt(step.ticks);
    if (!WaitFor(step.ticks)) {
      clock.ClearStop();
      if (options_.recorder != nullptr) {
        options_.recorder->RecordInterruption(clock.Now(), StopOnSignals::Name());
      }
      return false;
    }
    RunStep(step, source);
  }
  clock.ClearStop();
  return true;
}

void SessionRunner::Print(std::string_view lines) {
  const std::lock_guard lock(host_.OutputLock());
  out_.write(lines.data(), static_cast<std::streamsize>(lines.size()));
}

bool SessionRunner::WaitFor(std::int64_t ticks) {
  auto& clock = host_.Clock();
  while (clock.RealTime() && clock.Now() < ticks && !StopOnSignals::Requested()) {
    if (options_.recorder != nullptr) options_.recorder->Flush();
    host_.AdvanceTo(std::min(ticks, clock.Now() + kWaitTurn));
  }
  return !StopOnSignals::Requested();
}

void SessionRunner::RunStep(const Step& step, const std::string& source) {
  // In real time the clock stood at the step's time until the host got to it (HostClock::StopAt),
  // so however busy the machine, the step runs at its planned time. Only a step planned before
  // the present (none in a script run from its start) runs later: at once.
  ranAt_ = std::max(step.ticks, host_.Clock().Now());
  host_.AdvanceTo(ranAt_);
  watch_.BeforeStep(host_, step);
  const pluginsdk::ClockHold hold(host_.Clock(), ranAt_);
  Apply(step, source);
  host_.RunDeferred();
  watch_.AfterStep(host_);
  // A frame step records itself, with what it showed.
  if (options_.recorder != nullptr && !std::holds_alternative<DrawFrame>(step.action)) {
    options_.recorder->RecordStep(ranAt_, step.action);
  }
}

void SessionRunner::Apply(const Step& step, const std::string& source) {
  auto& world = host_.World();
  std::visit(Overloaded{
                 [&](const SetMode& s) { world.mode = s.mode; },
                 [&](const FireEvent& s) { host_.FireEvent(*s.function); },
                 [&](const PlaceBall& s) { world.gameState->ball = ActorAt(s.location); },
                 [&](const PlaceCar& s) { world.localCar = ActorAt(s.location); },
                 [&](const SetGameState& s) { world.gameStatePresent = s.present; },
                 [&](const SetVariable& s) {
                   // Checked when the script was read; a refusal here would be a host fault.
                   if (const auto refused =
                           host_.FindVariable(s.assignment->name)->SetText(s.assignment->value)) {
                     StepFault(source, step, *refused);
                   }
                 },
                 [&](const ShowVariable& s) {
                   Print(FormatTime(ranAt_) + ' ' + *s.name + " = " +
                         host_.FindVariable(*s.name)->Text() + '\n');
                 },
                 [&](const DrawFrame& s) { DrawFrameStep(step, s, source); },
                 [&](const ShowSettings& s) { ShowSettingsStep(step, s, source); },
                 [&](const ClickWidget& s) { ClickStep(step, s, source); },
                 [&](const ExpectFrame& s) { ExpectStep(step, s, source); },
                 [&](const RunCommand& s) {
                   // Known when the script was read; the plugin may have dropped it since.
                   if (!host_.ExecuteCommand(*s.commandLine)) {
                     StepFault(source, step,
                               "unknown command " + pluginsdk::QuoteText(*s.commandLine));
                   }
                 },
                 [&](const SetScreen& s) {
                   SetCanvasSize(s.size);
                   if (screenChange_) screenChange_(s.size);
                 },
                 [&](const LostSteps& s) { LostStepsStep(step, s, source); },
             },
             step.action);
}

void SessionRunner::DrawFrameStep(const Step& step, const DrawFrame& frame,
                                  const std::string& source) {
  canvas_->Clear();
  host_.DrawFrame(canvas_);
  lastFrame_ = FrameLineText(canvas_->Calls());
  lastFrameTicks_ = ranAt_;
  watch_.FrameShown(host_, lastFrame_);
  // The line is made in a buffer kept for it: a replay prints one for every frame.
  line_.clear();
  AppendFormattedTime(line_, ranAt_);
  line_ += ' ';
  line_ += lastFrame_;
  line_ += '\n';
  if (options_.trace) {
    for (const auto& call : canvas_->Calls()) line_ += "  " + DescribeCall(call) + '\n';
  }
  Print(line_);
  if (options_.recorder != nullptr) {
    options_.recorder->RecordFrame(ranAt_, lastFrame_, frame.image.get());
  }
  if (!frame.image) return;
  const Vector2 screen = canvas_->CurrentSize();
  const Image picture = framePicture_
                            ? framePicture_(canvas_->Calls())
                            : RenderFrameImage(canvas_->Calls(), font_, screen.X, screen.Y,
                                               host_.Toasts().OnScreen(host_.Clock().Now()));
  const std::filesystem::path file = options_.pictures / *frame.image;
  WritePicture(picture, file, source, step);
  Print(PictureLine(file, picture) + '\n');
}

void SessionRunner::ShowSettingsStep(const Step& step, const ShowSettings& settings,
                                     const std::string& source) {
  SettingsWindow& window = Settings(step, source);
  std::string printed = FormatTime(ranAt_) + " settings\n";
  for (const auto& line : window.Draw()) printed += "  " + line + '\n';
  Print(printed);
  if (!settings.image) return;
  const Image picture = window.Picture();
  const std::filesystem::path file = options_.pictures / *settings.image;
  WritePicture(picture, file, source, step);
  Print(PictureLine(file, picture) + '\n');
}

void SessionRunner::ClickStep(const Step& step, const ClickWidget& click,
                              const std::string& source) {
  SettingsWindow& window = Settings(step, source);
  if (window.Click(*click.label)) {
    // A player would see the picker close and wonder why the widget did not answer.
    if (window.ClickOnlyClosedPopup()) {
      Print(FormatTime(ranAt_) + " click " + pluginsdk::QuoteText(*click.label) +
            " only closed the colour picker that was open; click again to use the widget\n");
    }
    return;
  }
  // The page can change as the session goes on: say what it offers now.
  const auto labels = window.Labels();
  std::string offered;
  for (const auto& label : labels) {
    offered += (offered.empty() ? "; it has \"" : ", \"") + label + '"';
  }
  StepFault(source, step,
            "no widget " + pluginsdk::QuoteText(*click.label) + " on the settings page" +
                (offered.empty() ? "; it has none" : offered) + DidYouMean(*click.label, labels));
}

void SessionRunner::ExpectStep(const Step& step, const ExpectFrame& expect,
                               const std::string& source) {
  ++expectations_.checked;
  if (*expect.text == lastFrame_) return;
  ++expectations_.failed;
  if (options_.missed != nullptr) {
    options_.missed->push_back({step.line, lastFrame_});
    return;
  }
  std::string message = source + ':' + std::to_string(step.line) + ": expected " +
                        pluginsdk::QuoteText(*expect.text) + " but the frame at " +
                        FormatTime(lastFrameTicks_) + " showed " + pluginsdk::QuoteText(lastFrame_);
  if (lostAt_ > 0) {
    message += "; likely because the recording lost steps at line " + std::to_string(lostAt_);
  }
  Complain(message + '\n');
}

void SessionRunner::LostStepsStep(const Step& step, const LostSteps& lost,
                                  const std::string& source) {
  lostAt_ = step.line;
  expectations_.incomplete = true;
  Complain(source + ':' + std::to_string(step.line) + ": at " + FormatTime(ranAt_) +
           " the recording lost " + std::to_string(lost.count) +
           " steps of play (its writer fell behind the game): the frames after it are not "
           "checked\n");
}

void SessionRunner::ReportCutShort(const CutShort& cut, const std::string& source) {
  expectations_.incomplete = true;
  Complain(source + ':' + std::to_string(cut.line) + ": the recording is cut short here, at " +
           FormatTime(cut.ticks) +
           ": it has no end line (a full disk or a crash stopped it), so the play after it is "
           "missing and not checked\n");
}

void SessionRunner::Complain(std::string_view message) {
  // Under the output lock too: standard error often goes where standard output goes, and there
  // the message follows the frame lines printed before it.
  const std::lock_guard lock(host_.OutputLock());
  out_.flush();
  options_.errors->write(message.data(), static_cast<std::streamsize>(message.size()));
}

std::optional<std::string> SessionRunner::Hint() const {
  std::optional<std::string> hint = watch_.Hint();
  if (expectations_.checked > 0) return hint;
  return hint ? *hint + '\n' + std::string(kNothingCheckedHint) : std::string(kNothingCheckedHint);
}

SettingsWindow* SessionRunner::OpenSettings() {
  if (!settings_) {
    auto* page = plugin_.SettingsWindow();
    if (page == nullptr) return nullptr;
    settings_ = std::make_unique<SettingsWindow>(*page);
  }
  return settings_.get();
}

SettingsWindow& SessionRunner::Settings(const Step& step, const std::string& source) {
  SettingsWindow* window = OpenSettings();
  if (window == nullptr) {
    StepFault(source, step, "the plugin has no settings page");
  }
  return *window;
}

}  // namespace host
