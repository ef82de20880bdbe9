#include "LiveWindow.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <stdexcept>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "ErrorText.h"
#include "PngFile.h"
#include "QuotedText.h"
#include "StopOnSignals.h"
#include "backends/imgui_impl_glfw.h"

namespace host {
namespace {

constexpr std::int64_t kFrameTicks = pluginsdk::HostClock::kTicksPerSecond / 60;
// Where the ball starts when the window opens without a script: up where resets happen, so the
// first landings in the air show a height.
constexpr double kPracticeBallPercent = 50.0;

struct GameKey {
  int key;
  GameAction action;
  bool repeats;  // held down, it acts again at the keyboard's repeat rate
};

constexpr GameKey kGameKeys[] = {
    {GLFW_KEY_J, GameAction::Jump, false},
    {GLFW_KEY_L, GameAction::LandInAir, false},
    {GLFW_KEY_F, GameAction::LandOnFloor, false},
    {GLFW_KEY_D, GameAction::Dodge, false},
    {GLFW_KEY_G, GameAction::BallTouchesGround, false},
    {GLFW_KEY_R, GameAction::RoundStart, false},
    {GLFW_KEY_E, GameAction::BallExplodes, false},
    {GLFW_KEY_P, GameAction::TogglePause, false},
    {GLFW_KEY_UP, GameAction::BallUp, true},
    {GLFW_KEY_DOWN, GameAction::BallDown, true},
    {GLFW_KEY_M, GameAction::NextMode, false},
};

// The first "quillon-screenshot-N.png" in the working folder that does not exist yet, so no
// earlier picture is overwritten.
std::filesystem::path FreeScreenshotName() {
  for (int n = 1;; ++n) {
    std::filesystem::path file = "quillon-screenshot-" + std::to_string(n) + ".png";
    std::error_code error;
    // A folder that cannot be looked into cannot be written either; the write says so.
    if (!std::filesystem::exists(file, error) || error) return file;
  }
}

}  // namespace

LiveWindow::LiveWindow(pluginsdk::Host& host, SessionRunner& runner, const std::string& title)
    : host_(host),
      runner_(runner),
      window_(kWidth, kHeight, title),
      scene_(font_),
      canvas_(std::make_shared<RecordingCanvas>(font_)),
      controls_(host),
      settings_(runner.OpenSettings()) {
  glfwSetWindowUserPointer(window_.Handle(), this);
  // Set before Dear ImGui's backend installs its own, which then hands every key on to this one.
  glfwSetKeyCallback(window_.Handle(), &LiveWindow::OnKey);
  if (settings_ != nullptr) {
    settings_->MakeCurrent();
    ImGui_ImplGlfw_InitForOpenGL(window_.Handle(), true);
  }
  runner_.SetFramePicture(
      [this](const std::vector<CanvasCall>& calls) { return Screenshot(calls); });
  if (SessionRecorder* recorder = runner_.Recorder()) {
    controls_.Listen(
        [this, recorder](const StepAction& step) { recorder->RecordStep(actionTicks_, step); });
  }
  // A screen step asks for a window of that size; the canvas then follows the framebuffer.
  runner_.SetScreenChange(
      [this](Vector2 size) { glfwSetWindowSize(window_.Handle(), size.X, size.Y); });
}

LiveWindow::~LiveWindow() {
  runner_.SetFramePicture(nullptr);
  runner_.SetScreenChange(nullptr);
  if (settings_ != nullptr) {
    settings_->MakeCurrent();
    ImGui_ImplGlfw_Shutdown();
  }
}

void LiveWindow::Run(const std::vector<Step>& steps, const std::string& source, bool closeAtEnd) {
  const StopOnSignals signals;
  auto& clock = host_.Clock();
  // Stopped first, so the first step runs at its time, not when the host gets to it.
  if (!steps.empty()) clock.StopAt(steps.front().ticks);
  clock.FollowPlatformClock();
  std::size_t next = 0;
  std::int64_t nextFrame = clock.Now();
  std::int64_t drawTicks = 0;  // how long a frame may take to draw
  for (;;) {
    HandleKeys();
    if (SessionRecorder* recorder = runner_.Recorder()) recorder->FlushIfDue();
    if (signals.Requested()) {
      if (SessionRecorder* recorder = runner_.Recorder()) {
        recorder->RecordInterruption(clock.Now(), StopOnSignals::Name());
      }
      break;
    }
    if (quit_ || window_.CloseRequested()) break;
    for (; next < steps.size() && steps[next].ticks <= clock.Now(); ++next) {
      controls_.Follow(steps[next]);
      runner_.SetCanvasSize(ScreenSize());
      runner_.RunStep(steps[next], source);
    }
    // Whatever the window does before the next step (keys, frames) reads no later time than
    // the step's, which then runs at its planned time even on a busy machine.
    if (next < steps.size()) {
      clock.StopAt(steps[next].ticks);
    } else {
      clock.ClearStop();
    }
    host_.AdvanceTo(clock.Now());
    host_.RunDeferred();
    if (closeAtEnd && next == steps.size()) break;
    // A frame is skipped rather than let it make the next step late: a late step keeps its time,
    // but the session as a whole then runs behind the wall clock.
    const bool stepSoon = next < steps.size() && steps[next].ticks - clock.Now() < drawTicks;
    if (clock.Now() >= nextFrame && !stepSoon) {
      const std::int64_t start = clock.Now();
      DrawLiveFrame();
      // The longest recent draw: a slow frame keeps counting for a second or so.
      drawTicks = std::max(clock.Now() - start, drawTicks - drawTicks / 16);
      nextFrame = start + kFrameTicks;
    }
    WaitForInput(next < steps.size() ? std::min(nextFrame, steps[next].ticks) : nextFrame);
  }
  clock.ClearStop();
}

WindowLayout LiveWindow::Layout() const {
  const ImVec2 screen(static_cast<float>(window_.Width()), static_cast<float>(window_.Height()));
  return LayOutWindow(screen, scene_.BandHeight(screen.x), settings_ != nullptr && settingsShown_);
}

Vector2 LiveWindow::ScreenSize() const {
  const ImVec2 game = Layout().game;
  return {static_cast<int>(game.x), static_cast<int>(game.y)};
}

Image LiveWindow::Screenshot(const std::vector<CanvasCall>& calls) {
  RenderScene(calls);
  return renderer_.ReadBack(window_.Width(), window_.Height());
}

void LiveWindow::OnKey(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
  if (action == GLFW_RELEASE) return;
  auto* self = static_cast<LiveWindow*>(glfwGetWindowUserPointer(window));
  self->keys_.push_back({key, action == GLFW_REPEAT});
}

void LiveWindow::HandleKeys() {
  if (KeyboardTaken()) keys_.clear();
  for (const KeyPress& press : keys_) {
    if (press.key == GLFW_KEY_ESCAPE && !press.repeat) {
      quit_ = true;
    } else if (press.key == GLFW_KEY_F12 && !press.repeat) {
      screenshotAsked_ = true;
    } else if (press.key == GLFW_KEY_S && !press.repeat) {
      settingsShown_ = !settingsShown_;
    }
    const auto* game = std::find_if(std::begin(kGameKeys), std::end(kGameKeys),
                                    [&](const GameKey& k) { return k.key == press.key; });
    if (game != std::end(kGameKeys) && (game->repeats || !press.repeat)) Play(game->action);
  }
  keys_.clear();
}

void LiveWindow::Play(GameAction action) {
  actionTicks_ = host_.Clock().Now();
  host_.AdvanceTo(actionTicks_);
  const pluginsdk::ClockHold hold(host_.Clock(), actionTicks_);
  controls_.Play(action);
}

bool LiveWindow::KeyboardTaken() const {
  // While a widget takes typing (a slider's value being typed, say) or a popup such as a colour
  // picker is open, the keys belong to the settings window.
  if (settings_ == nullptr || !settingsShown_) return false;
  settings_->MakeCurrent();
  return ImGui::GetIO().WantCaptureKeyboard || settings_->TopPopup() != nullptr;
}

void LiveWindow::RenderScene(const std::vector<CanvasCall>& calls) {
  const int width = window_.Width();
  const int height = window_.Height();
  const ImDrawData* settings = nullptr;
  if (settings_ != nullptr && settingsShown_) {
    const WindowLayout layout = Layout();
    settings_->Resize(layout.settingsSize);
    settings_->PlaceAt(layout.settingsPosition);
    settings_->MakeCurrent();
    ImGui_ImplGlfw_NewFrame();
    settings_->Show();
    settings = settings_->DrawData();
  }
  const std::string status = FormatTime(host_.Clock().Now()) + " s | " + controls_.Status();
  const PlayState play = FollowPlay(host_.World(), Layout().game, marks_, calls);
  scene_.Compose(width, height, play, calls, status, settings,
                 host_.Toasts().OnScreen(host_.Clock().Now()));
  scene_.Render(renderer_);
}

void LiveWindow::DrawLiveFrame() {
  // The frame shows the game at one time, every timeout due by then run first, so that a
  // recording of it replays to the same frame.
  const std::int64_t ticks = host_.Clock().Now();
  host_.AdvanceTo(ticks);
  SessionRecorder* recorder = runner_.Recorder();
  {
    const pluginsdk::ClockHold hold(host_.Clock(), ticks);
    canvas_->Clear();
    canvas_->Resize(ScreenSize());
    host_.DrawFrame(canvas_);
    if (recorder != nullptr) {
      RecordLiveFrame(*recorder, ticks);
      recorder->RememberVariables(host_);
    }
  }
  RenderScene(canvas_->Calls());
  if (screenshotAsked_) SaveScreenshot();
  glfwSwapBuffers(window_.Handle());
  // What the settings window's mouse changed is written as set steps at the time the deferred
  // writes ran.
  const std::int64_t written = host_.Clock().Now();
  host_.AdvanceTo(written);
  const pluginsdk::ClockHold hold(host_.Clock(), written);
  host_.RunDeferred();
  if (recorder != nullptr) recorder->RecordVariableChanges(host_, written);
}

void LiveWindow::RecordLiveFrame(SessionRecorder& recorder, std::int64_t ticks) {
  const std::string shown = FrameLineText(canvas_->Calls());
  if (!screenshotAsked_ && recorder.LastFrame() == shown) return;
  recorder.RecordFrame(ticks, shown);
  runner_.Print(FormatTime(ticks) + ' ' + shown + '\n');
}

void LiveWindow::SaveScreenshot() {
  screenshotAsked_ = false;
  const std::string time = FormatTime(host_.Clock().Now());  // the frame's, not the file's
  const std::filesystem::path file = FreeScreenshotName();
  const Image picture = renderer_.ReadBack(window_.Width(), window_.Height());
  if (const auto error = SavePng(picture, file)) {
    runner_.Print(time + " screenshot not written: cannot write " +
                  pluginsdk::QuoteText(file.string()) + ": " + pluginsdk::ErrorText(error) + '\n');
  } else {
    runner_.Print(time + " screenshot " + file.string() + '\n' + PictureLine(file, picture) + '\n');
  }
}

void LiveWindow::WaitForInput(std::int64_t until) {
  // Dear ImGui's backend hands input to whichever context is current.
  if (settings_ != nullptr) settings_->MakeCurrent();
  const std::int64_t left = until - host_.Clock().Now();
  if (left > 0) {
    glfwWaitEventsTimeout(static_cast<double>(left) / pluginsdk::HostClock::kTicksPerSecond);
  } else {
    glfwPollEvents();
  }
}

Expectations RunLiveWindow(pluginsdk::Host& host, LoadedPlugin& plugin,
                           const std::vector<Step>& steps, const std::string& source,
                           std::ostream& out, ReplayOptions options, bool closeAtEnd) {
  SessionRunner runner(host, plugin, out, options);
  LiveWindow window(host, runner, source.empty() ? "quillon-host" : "quillon-host: " + source);
  // Without a script the player starts in free play, as after choosing it in the game's menu,
  // with the ball up in the air.
  if (source.empty()) {
    window.Controls().PlaceBall(kPracticeBallPercent);
    window.Controls().EnterMode(pluginsdk::GameMode::Freeplay);
  }
  window.Run(steps, source, closeAtEnd);
  return runner.Checked();
}

}  // namespace host
